// The axis panel tests' scaffolding: a panel that completes the abstract
// operations and notes every pipeline step, a series that notes what it is
// asked to draw, and a tool that notes its stages and mouse events.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "chart/ChartTestSupport.h"
#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloTool.h"

namespace panel_test {

using TLog = std::vector<std::string>;

inline std::string Join(const TLog &log) {
  std::string out;
  for (const std::string &s : log)
    out += (out.empty() ? "" : " ") + s;
  return out;
}

class TTestAxisPanel : public TCustomAxisPanel {
public:
  explicit TTestAxisPanel(forms::TWinControl *parent = nullptr) : TCustomAxisPanel(parent) {}
  std::string_view ClassName() const override { return "TTestAxisPanel"; }

  TLog *Log = nullptr;
  int Draws = 0;
  std::function<void(bool)> Titles;

  void Note(const std::string &s) {
    if (Log) Log->push_back(s);
  }

  void CalcWallsRect() override {
    Note("walls-rect");
    CalcSize3DWalls();
  }
  int GetAxisWallSize(TChartAxis *) override { return 0; }
  void DrawTitlesAndLegend(bool beforeSeries) override {
    Note(beforeSeries ? "titles-before" : "titles-after");
    if (Titles) Titles(beforeSeries);
  }
  void DrawWalls() override { Note("walls"); }
  bool IsFreeSeriesColor(TColor color, bool, TChartSeries *series) override {
    for (TChartSeries *s : SeriesList())
      if (s != series && s->SeriesColor() == color) return false;
    return true;
  }
  void PanelPaint(const TRect &rect) override {
    Note("background");
    TCustomAxisPanel::PanelPaint(rect);
  }

  using TCustomAxisPanel::CalcZOrders;
  using TCustomAxisPanel::HostMouseLeave;

protected:
  void InternalDraw(const TRect &bounds) override {
    ++Draws;
    TCustomAxisPanel::InternalDraw(bounds);
  }
};

class TTestSeries : public TChartSeries {
public:
  explicit TTestSeries(std::string name = "s", TLog *log = nullptr) : Tag(std::move(name)), Log(log) {}
  std::string_view ClassName() const override { return "TTestSeries"; }

  std::string Tag;
  TLog *Log;
  bool NotePoints = false;
  int MarginLow = 0, MarginHigh = 0;

  void Note(const std::string &s) {
    if (Log) Log->push_back(s);
  }
  void PrepareForDraw() override { Note("prepare:" + Tag); }
  void DoBeforeDrawValues() override {
    Note("before:" + Tag);
    TChartSeries::DoBeforeDrawValues();
  }
  void DrawVisiblePoints() override {
    Note("points:" + Tag);
    if (NotePoints) TChartSeries::DrawVisiblePoints();
  }
  void DrawPoint(int index) override {
    if (NotePoints) Note(Tag + std::to_string(index));
  }
  void DoAfterDrawValues() override {
    Note("after:" + Tag);
    TChartSeries::DoAfterDrawValues();
  }
  void HorizMargins(int &left, int &right) override {
    left = MarginLow;
    right = MarginHigh;
  }
};

class TTestTool : public TUloCustomTool {
public:
  explicit TTestTool(std::string name = "t", TLog *log = nullptr) : Tag(std::move(name)), Log(log) {}
  std::string_view ClassName() const override { return "TTestTool"; }

  std::string Tag;
  TLog *Log;
  // The mouse kind on which the tool sets CancelMouse (-1: none).
  int CancelOn = -1;

  void Note(const std::string &s) {
    if (Log) Log->push_back(s);
  }
  void ChartEvent(int stage) override { Note(Tag + ":" + std::to_string(stage)); }
  void ChartMouseEvent(int kind, forms::TMouseButton, forms::TShiftState, int x, int y) override {
    Note(Tag + ":m" + std::to_string(kind) + "@" + std::to_string(x) + "," + std::to_string(y));
    if (kind == CancelOn && ParentChart()) ParentChart()->CancelMouse = true;
  }
  void MouseWheelEvent(int kind, int, int) override { Note(Tag + ":w" + std::to_string(kind)); }
};

// Draws the panel once into a bitmap of its size.
inline void DrawOnce(TCustomAxisPanel &panel) {
  gdi::Bitmap target(panel.Width(), panel.Height());
  panel.Draw(&target.DC(), TRect{0, 0, panel.Width(), panel.Height()});
}

// The library texts are loaded for the messages the panel raises.
using WithTexts = chart_support::WithEngineTexts;

} // namespace panel_test
