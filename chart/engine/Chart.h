// The chart control: the axis panel completed with its four titles, the
// legend and the walls, the mouse (clicked parts and their events, zoom
// and panning by dragging, wheel scrolling, undoing the zoom) and the
// palette choice. TChart is the control the result windows place.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloLegend.h"
#include "chart/engine/UloWalls.h"

enum class TChartPartKind : uint8_t {
  cpkNone,
  cpkLegend,
  cpkAxis,
  cpkSeries,
  cpkTitle,
  cpkFoot,
  cpkChartRect,
  cpkSeriesMarks,
  cpkSubTitle,
  cpkSubFoot,
  cpkAxisTitle
};

// What lies under a pixel.
struct TChartPartHit {
  TChartPartKind Part = TChartPartKind::cpkNone;
  int PointIndex = -1;
  TChartSeries *Series = nullptr;
  TChartAxis *Axis = nullptr;
};

// Whether the wheel scrolls the vertical axes (on unless switched off).
extern bool UloWheelScrolls;

class TCustomChart : public TCustomAxisPanel {
public:
  using TMouseEvent =
      std::function<void(TCustomChart *sender, forms::TMouseButton button, forms::TShiftState shift, int x, int y)>;

  explicit TCustomChart(forms::TWinControl *parent = nullptr);
  ~TCustomChart() override;

  // From another chart: ColorPaletteIndex (applying it), Foot, Legend,
  // ScrollMouseButton, SubFoot, SubTitle, Title, Walls; then the panel's.
  void Assign(const TCustomUloPanel &source) override;

  // ---- parts and settings
  int ColorPaletteIndex() const noexcept { return colorPaletteIndex_; }
  // Applies the built-in palette of that index (0 or outside: none).
  void SetColorPaletteIndex(int value);
  // Only stores the index; TColorPalettes::ApplyPalette calls it after installing the palette.
  void StoreColorPaletteIndex(int value) noexcept { colorPaletteIndex_ = value; }
  TChartFootTitle &Foot() noexcept { return *foot_; }
  void SetFoot(const TChartTitle &value) { foot_->Assign(value); }
  TChartLegend &Legend() noexcept { return *legend_; }
  void SetLegend(const TCustomChartLegend &value) { legend_->Assign(value); }
  forms::TMouseButton ScrollMouseButton() const noexcept { return scrollMouseButton_; }
  void SetScrollMouseButton(forms::TMouseButton value) noexcept { scrollMouseButton_ = value; }
  TChartFootTitle &SubFoot() noexcept { return *subFoot_; }
  void SetSubFoot(const TChartTitle &value) { subFoot_->Assign(value); }
  TChartTitle &SubTitle() noexcept { return *subTitle_; }
  void SetSubTitle(const TChartTitle &value) { subTitle_->Assign(value); }
  TChartTitle &Title() noexcept { return *title_; }
  void SetTitle(const TChartTitle &value) { title_->Assign(value); }
  TChartWalls &Walls() noexcept { return *walls_; }
  const TChartWalls &Walls() const noexcept { return *walls_; }
  void SetWalls(const TChartWalls &value) { walls_->Assign(value); }
  TChartWall &BackWall() noexcept { return walls_->Back(); }
  TChartWall &BottomWall() noexcept { return walls_->Bottom(); }
  TChartWall &LeftWall() noexcept { return walls_->Left(); }
  TChartWall &RightWall() noexcept { return walls_->Right(); }
  void SetBackWall(const TChartWall &value) { walls_->SetBack(value); }
  void SetBottomWall(const TChartWall &value) { walls_->SetBottom(value); }
  void SetLeftWall(const TChartWall &value) { walls_->SetLeft(value); }
  void SetRightWall(const TChartWall &value) { walls_->SetRight(value); }
  // The back wall's frame pen.
  TChartPen &Frame() noexcept { return walls_->Back().Pen(); }
  void SetFrame(const TPen &value) { walls_->Back().Pen().Assign(value); }

  // ---- the panel's layout and drawing operations
  // The panel colour while the back wall is transparent, else the wall's.
  TColor GetBackColor() override;
  // The stored "BackColor": the back wall's colour, its brush solid unless
  // loading.
  void SetBackColor(TColor value);
  bool IsFreeSeriesColor(TColor color, bool checkBackground, TChartSeries *series) override;
  int GetAxisWallSize(TChartAxis *axis) override;
  void CalcWallsRect() override;
  void DrawTitlesAndLegend(bool beforeSeries) override;
  void DrawWalls() override;
  // The symbol of the current legend row in the canvas brush colour.
  void DrawLegendSymbol(const TRect &rect) override;
  // The legend symbol's own pen, unless it draws with the series' pen.
  TChartPen *LegendSymbolPen() override;
  std::string FormattedValueLegend(TChartSeries *series, int valueIndex) override;

  // ---- hit test
  TChartPartHit CalcClickedPart(const TPoint &point, bool onlyClickable);

  // ---- zoom and scroll
  virtual void ZoomToValues(double leftMin, double leftMax, double rightMin, double rightMax, double topMin,
                            double topMax, double bottomMin, double bottomMax);
  // The zoom rectangle's corners as axis values.
  virtual void ZoomFromMouse();
  // The ranges of before the first zoom or pan come back.
  virtual void UndoZoom();
  // Whether ranges of before a zoom or pan are held.
  bool RangesSaved() const noexcept { return !rangesNotSaved_; }

  // ---- mouse (from the window; tests call them as the window does)
  void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void MouseMove(forms::TShiftState shift, int x, int y) override;
  void MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  // The general wheel handling of one notch: the per-direction handler,
  // then the tools' wheel event of kind 1. WheelDelta > 0 is up.
  virtual bool DoMouseWheel(forms::TShiftState shift, int wheelDelta, int x, int y);
  virtual bool DoMouseWheelDown(forms::TShiftState shift, int x, int y);
  virtual bool DoMouseWheelUp(forms::TShiftState shift, int x, int y);

  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TCustomChart"; }

  // ---- events
  std::function<void(TChartAxis *axis, double &aMin, double &aMax, bool &allowScroll)> OnAllowScroll;
  std::function<void(TCustomChart *sender, TChartAxis *axis, forms::TMouseButton button, forms::TShiftState shift,
                     int x, int y)>
      OnClickAxis;
  TMouseEvent OnClickBackground;
  TMouseEvent OnClickLegend;
  std::function<void(TCustomChart *sender, TChartSeries *series, int valueIndex, forms::TMouseButton button,
                     forms::TShiftState shift, int x, int y)>
      OnClickSeries;
  std::function<void(TCustomChart *sender, TChartTitle *title, forms::TMouseButton button, forms::TShiftState shift,
                     int x, int y)>
      OnClickTitle;
  // May move row Index: its left, top and the left of its symbol.
  std::function<void(TCustomChart *sender, int index, int &x, int &y, int &xColor)> OnGetLegendPos;
  std::function<void(TCustomChart *sender, TRect &rect)> OnGetLegendRect;
  std::function<void(TCustomChart *sender, TLegendStyle legendStyle, int index, std::string &legendText)>
      OnGetLegendText;

protected:
  void HostMouseWheel(int delta, forms::TShiftState shift, int x, int y) override;

private:
  struct TAxisSavedRange {
    bool Automatic = false;
    bool AutomaticMinimum = false;
    bool AutomaticMaximum = false;
    double Minimum = 0;
    double Maximum = 0;
    bool Held = false;
  };
  TChartPartHit ClickedPart(const TPoint &point, bool onlyClickable, bool mouseDown);
  void SaveAxesRanges();
  void RestoreAxesRanges();
  // Handled when a zoom or a pan drag started.
  bool StartDrag(forms::TMouseButton button, forms::TShiftState shift, int x, int y);
  bool PanAxes(bool horizontal, int newPos, int oldPos);
  bool AnySeriesAxisBased();
  void SendToolsMouse(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y);
  void SendToolsWheel(int kind, int x, int y);
  void WheelScroll(bool down);
  // The side test of the walls at X.
  bool IsSideBackFacing(int x);
  void DrawRightWall();
  void DrawLeftWall();
  void DrawBottomWall();
  void DrawBackWall();
  void DrawFrontWallsAndAxes();
  void DrawOneTitle(TChartTitle &title, bool custom);

  int colorPaletteIndex_ = 0;
  std::unique_ptr<TChartFootTitle> foot_;
  std::unique_ptr<TChartLegend> legend_;
  std::vector<TAxisSavedRange> savedRanges_;
  forms::TMouseButton scrollMouseButton_ = forms::TMouseButton::mbRight;
  std::unique_ptr<TChartFootTitle> subFoot_;
  std::unique_ptr<TChartTitle> subTitle_;
  std::unique_ptr<TChartTitle> title_;
  std::unique_ptr<TChartWalls> walls_;
  bool rangesNotSaved_ = true;
  // Wheel units not yet making a whole notch (touch pads send less).
  int wheelRest_ = 0;
};

// The chart with its settings published.
class TChart : public TCustomChart {
public:
  explicit TChart(forms::TWinControl *parent = nullptr) : TCustomChart(parent) {}
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TChart"; }
};

// Registers TChart for stored window definitions; the program body calls
// these at start-up and shut-down.
void StartChartUnit();
void StopChartUnit();
