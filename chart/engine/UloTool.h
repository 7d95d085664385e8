// The base of chart tools: elements in a chart's tool list that hear the
// paint's drawing stages and the chart's mouse events in list order, and
// may stop the mouse chain with the panel's CancelMouse. Two variants bind
// a tool to one series or to one axis.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloSeries.h"

class TUloCustomTool : public TCustomChartElement {
public:
  TUloCustomTool() = default;
  // Leaves its chart's tool list.
  ~TUloCustomTool() override;

  std::string_view ClassName() const override { return "TUloCustomTool"; }

  // Leaves the old chart's tool list (the old chart repaints when Value is
  // null) and joins the end of Value's list.
  void SetParentChart(TCustomAxisPanel *value) override;

  // A drawing stage of the paint (UloToolStage...), or 5 when the mouse
  // left the panel.
  virtual void ChartEvent(int stage) { (void)stage; }
  // Kind: 0 down, 1 move (with the left button), 2 up; panel pixels.
  virtual void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
    (void)kind;
    (void)button;
    (void)shift;
    (void)x;
    (void)y;
  }
  // Of the series a series tool follows: 1 before it draws its values, 4
  // after its values and marks.
  virtual void SeriesDrawEvent(int stage) { (void)stage; }
  // Kind: 1 from the chart's wheel handling, 0 wheel down, 2 wheel up; at
  // the cursor position.
  virtual void MouseWheelEvent(int kind, int x, int y) {
    (void)kind;
    (void)x;
    (void)y;
  }
  // The tool's short name in the tool gallery and its one-line description.
  virtual std::string GetGalleryName() const { return {}; }
  virtual std::string GetGalleryHint() const { return {}; }
};

// A tool bound to one series.
class TUloCustomToolSeries : public TUloCustomTool {
public:
  TUloCustomToolSeries();
  ~TUloCustomToolSeries() override;

  std::string_view ClassName() const override { return "TUloCustomToolSeries"; }
  std::string GetEditor() const override { return "TSeriesToolEditor"; }

  TChartSeries *Series() const noexcept { return series_; }
  // Follows the series' freeing: Series becomes null when it goes.
  virtual void SetSeries(TChartSeries *value);
  // The series' axes; without a series the bottom (else top) and left
  // (else right) axes that a series uses, else bottom and left. Null
  // without a chart.
  TChartAxis *GetHorizAxis() const;
  TChartAxis *GetVertAxis() const;

  // Series first, then the element settings.
  void Assign(const TCustomChartElement &source) override;

  // Every series tool that follows Series forgets it. The series'
  // destructor calls this.
  static void SeriesFreed(const TChartSeries *series) noexcept;

private:
  TChartSeries *series_ = nullptr;
};

// A tool bound to one axis; stored with the axis' index as "AxisID".
class TUloCustomToolAxis : public TUloCustomTool {
public:
  TUloCustomToolAxis() = default;

  std::string_view ClassName() const override { return "TUloCustomToolAxis"; }
  std::string GetEditor() const override { return "TAxisToolEditor"; }

  TChartAxis *Axis() const noexcept { return axis_; }
  // The tool joins the axis' chart (null leaves its chart) and repaints.
  virtual void SetAxis(TChartAxis *value);

  // Axis first, then the element settings.
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  void SetParentChart(TCustomAxisPanel *value) override;
  void Loaded() override;

  // The axis is going (its chart, or a custom axis deleted).
  virtual void ForgetAxis() noexcept { axis_ = nullptr; }
  // Takes the axis without joining its chart: for a tool that another
  // tool owns and drives (the edges of a colour band).
  void BindAxis(TChartAxis *value) noexcept {
    axis_ = value;
    pendingAxisID_ = -1;
  }

private:
  void ResolvePendingAxis();
  TChartAxis *axis_ = nullptr;
  // An "AxisID" read before the tool had a chart; -1 when none.
  int pendingAxisID_ = -1;
};

// The tools of one panel, in the order they joined: the order in which
// they hear stages and mouse events. The panel frees the tools it keeps.
class TChartTools {
public:
  explicit TChartTools(TCustomAxisPanel *owner) : owner_(owner) {}
  TChartTools(const TChartTools &) = delete;
  TChartTools &operator=(const TChartTools &) = delete;
  ~TChartTools();

  int Count() const noexcept { return static_cast<int>(items_.size()); }
  TUloCustomTool *Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  TUloCustomTool *operator[](int index) const { return Items(index); }
  int IndexOf(const TUloCustomTool *tool) const noexcept;
  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }
  TCustomAxisPanel *Owner() const noexcept { return owner_; }

  // Joins the tool (its owner keeps it).
  void Add(TUloCustomTool *tool);
  // Joins the tool and keeps it: the panel frees it.
  template <class T> T *Add(std::unique_ptr<T> tool) {
    T *p = tool.get();
    Adopt(std::unique_ptr<TUloCustomTool>(std::move(tool)));
    return p;
  }
  // Takes the tool out of the list (it keeps its chart pointer: use
  // SetParentChart(nullptr) to detach a tool).
  void Remove(TUloCustomTool *tool);
  // Frees the tools the panel keeps and detaches the others.
  void Clear();

private:
  friend class TUloCustomTool;
  void Adopt(std::unique_ptr<TUloCustomTool> tool);
  void Append(TUloCustomTool *tool);

  TCustomAxisPanel *owner_;
  std::vector<TUloCustomTool *> items_;
};
