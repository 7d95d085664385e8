// The axis panel's lists, pages, groups, palette, events and stored form.
// The paint pipeline is in UloAxisPanelDraw.cpp.
#include "chart/engine/UloAxisPanel.h"

#include <algorithm>
#include <string>
#include <utility>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloFunction.h"
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloTool.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProcs.h"
#include "platform/streaming/Streaming.h"

bool UloFillSampleData = false;

namespace {

// Message with each "%d" replaced by the next number.
std::string FormatInts(const std::string &text, std::initializer_list<int> values) {
  std::string out;
  auto next = values.begin();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 'd' && next != values.end()) {
      out += std::to_string(*next++);
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

} // namespace

// ---- pages ------------------------------------------------------------------------

void TChartPage::Changed() {
  if (panel_) panel_->Invalidate();
}

void TChartPage::Broadcast() {
  if (!panel_) return;
  TChartChangePage event;
  panel_->BroadcastUloEvent(event);
}

void TChartPage::SetAutoScale(bool value) {
  if (UloStoreIfChanged(autoScale_, value)) Changed();
}

void TChartPage::SetScaleLastPage(bool value) {
  if (UloStoreIfChanged(scaleLastPage_, value)) Changed();
}

void TChartPage::SetCurrent(int value) {
  // While a definition is read the series may not hold their points yet;
  // the panel clamps the page once it is loaded.
  if (panel_ && panel_->Loading()) {
    current_ = value;
    return;
  }
  value = std::clamp(value, 1, std::max(1, PageCount()));
  if (!UloStoreIfChanged(current_, value)) return;
  Changed();
  Broadcast();
  if (panel_ && panel_->OnPageChange) panel_->OnPageChange(*this);
}

void TChartPage::ClampCurrent() {
  const int clamped = std::clamp(current_, 1, std::max(1, PageCount()));
  if (clamped != current_) current_ = clamped;
}

void TChartPage::SetMaxPointsPerPage(int value) {
  if (value < 0) throw ChartException(UloMsgMaxPointsPerPage);
  if (!UloStoreIfChanged(maxPointsPerPage_, value)) return;
  Changed();
  if (!(panel_ && panel_->Loading()) && current_ > PageCount()) current_ = std::max(1, PageCount());
  Broadcast();
}

int TChartPage::PageCount() const {
  if (maxPointsPerPage_ < 1 || !panel_ || panel_->SeriesCount() == 0) return 1;
  const TChartSeries *first = panel_->GetSeries(0);
  if (first->YMandatory())
    return std::max(panel_->AxisPageCount(panel_->BottomAxis()), panel_->AxisPageCount(panel_->TopAxis()));
  return std::max(panel_->AxisPageCount(panel_->LeftAxis()), panel_->AxisPageCount(panel_->RightAxis()));
}

void TChartPage::Assign(const TChartPage &source) {
  SetAutoScale(source.autoScale_);
  SetMaxPointsPerPage(source.maxPointsPerPage_);
  SetScaleLastPage(source.scaleLastPage_);
  SetCurrent(source.current_);
}

void TChartPage::DefineProperties(streaming::TPropertyTable &table) {
  table.Property("AutoScale", this, &TChartPage::AutoScale, &TChartPage::SetAutoScale, false);
  table.Property("Current", this, &TChartPage::Current, &TChartPage::SetCurrent, 1);
  table.Property("MaxPointsPerPage", this, &TChartPage::MaxPointsPerPage, &TChartPage::SetMaxPointsPerPage, 0);
  table.Property("ScaleLastPage", this, &TChartPage::ScaleLastPage, &TChartPage::SetScaleLastPage, true);
}

// ---- series lists and groups ---------------------------------------------------------

int TCustomSeriesList::IndexOf(const TChartSeries *series) const noexcept {
  auto it = std::find(items_.begin(), items_.end(), series);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TCustomSeriesList::Add(TChartSeries *series) {
  if (series && IndexOf(series) < 0) items_.push_back(series);
}

void TCustomSeriesList::Remove(TChartSeries *series) {
  auto it = std::find(items_.begin(), items_.end(), series);
  if (it != items_.end()) items_.erase(it);
}

TSeriesGroup::TSeriesGroup(TSeriesGroups *groups) : name_("Group" + std::to_string(groups ? groups->Count() + 1 : 1)) {}

TSeriesGroupActive TSeriesGroup::Active() const {
  int active = 0;
  for (TChartSeries *s : series_)
    active += s->Active() ? 1 : 0;
  if (active == series_.Count()) return TSeriesGroupActive::gaYes;
  return active == 0 ? TSeriesGroupActive::gaNo : TSeriesGroupActive::gaSome;
}

void TSeriesGroup::SetActive(TSeriesGroupActive value) {
  if (value == TSeriesGroupActive::gaSome || value == Active()) return;
  const bool on = value == TSeriesGroupActive::gaYes;
  // A series' Active setter may change the group (a listener); walk a copy.
  const std::vector<TChartSeries *> members(series_.begin(), series_.end());
  for (TChartSeries *s : members)
    s->SetActive(on);
}

void TSeriesGroup::Assign(const TSeriesGroup &source) {
  name_ = source.name_;
  series_.Clear();
  for (TChartSeries *s : source.series_)
    series_.Add(s);
}

void TSeriesGroup::DefineProperties(streaming::TPropertyTable &table) {
  table.Property(
      "Name", [this] { return name_; }, [this](std::string v) { name_ = std::move(v); });
}

TSeriesGroup &TSeriesGroups::Add() {
  items_.push_back(std::make_unique<TSeriesGroup>(this));
  return *items_.back();
}

void TSeriesGroups::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

void TSeriesGroups::RemoveSeries(const TChartSeries *series) {
  for (auto &g : items_)
    g->Series().Remove(const_cast<TChartSeries *>(series));
}

streaming::TPersistent &TSeriesGroups::StoredAdd(const std::string &, streaming::TReadContext &) { return Add(); }

// ---- axes -------------------------------------------------------------------------------

TChartAxes::TChartAxes() = default;
TChartAxes::~TChartAxes() { Clear(); }

int TChartAxes::IndexOf(const TChartAxis *axis) const noexcept {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == axis) return static_cast<int>(i);
  return -1;
}

TChartDepthAxis *TChartAxes::DepthAxis() const { return static_cast<TChartDepthAxis *>(Items(4)); }
TChartDepthAxis *TChartAxes::DepthTopAxis() const { return static_cast<TChartDepthAxis *>(Items(5)); }

TChartAxis *TChartAxes::Add(std::unique_ptr<TChartAxis> axis) {
  items_.push_back(std::move(axis));
  return items_.back().get();
}

void TChartAxes::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  // The axis tells its series while it goes, and may look at the list:
  // take it out first.
  std::unique_ptr<TChartAxis> gone = std::move(items_[static_cast<size_t>(index)]);
  items_.erase(items_.begin() + index);
  gone.reset();
}

void TChartAxes::Clear() {
  while (!items_.empty())
    Delete(Count() - 1);
}

int TChartCustomAxes::Count() const { return std::max(0, panel_->Axes().Count() - 6); }

TChartAxis *TChartCustomAxes::Items(int index) const {
  if (index < 0 || index >= Count()) throw ChartException("Custom axis index out of range");
  return panel_->Axes().Items(index + 6);
}

TChartAxis *TChartCustomAxes::Add() {
  TChartAxis *axis = panel_->Axes().Add(std::make_unique<TChartAxis>(panel_));
  axis->SetCalcPosFunctions();
  panel_->Invalidate();
  return axis;
}

void TChartCustomAxes::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  panel_->ForgetCustomAxis(panel_->Axes().Items(index + 6));
  panel_->Axes().Delete(index + 6);
  panel_->Invalidate();
}

void TChartCustomAxes::Clear() {
  while (Count() > 0)
    Delete(Count() - 1);
}

void TChartCustomAxes::Assign(const TChartCustomAxes &source) {
  if (&source == this) return;
  while (Count() > source.Count())
    Delete(Count() - 1);
  while (Count() < source.Count())
    Add();
  for (int i = 0; i < Count(); ++i) {
    TChartAxis *mine = Items(i);
    TChartAxis *theirs = source.Items(i);
    mine->Assign(*theirs);
    mine->Horizontal = theirs->Horizontal;
    mine->OtherSide = theirs->OtherSide;
    mine->SetCalcPosFunctions();
  }
}

streaming::TPersistent &TChartCustomAxes::StoredItem(size_t index) { return *Items(static_cast<int>(index)); }

streaming::TPersistent &TChartCustomAxes::StoredAdd(const std::string &, streaming::TReadContext &) { return *Add(); }

// ---- the panel ---------------------------------------------------------------------------

TChartAxis *TCustomAxisPanel::MakeStandardAxis(bool depth, bool horizontal, bool otherSide) {
  std::unique_ptr<TChartAxis> axis =
      depth ? std::unique_ptr<TChartAxis>(std::make_unique<TChartDepthAxis>(this)) : std::make_unique<TChartAxis>(this);
  axis->Horizontal = horizontal;
  axis->OtherSide = otherSide;
  axis->IsDepthAxis = depth;
  axis->SetCalcPosFunctions();
  return axes_.Add(std::move(axis));
}

TCustomAxisPanel::TCustomAxisPanel(forms::TWinControl *parent) : TCustomUloPanelExtended(parent) {
  const bool autoRepaint = AutoRepaint();
  SetAutoRepaint(false);
  tools_ = std::make_unique<TChartTools>(this);
  MakeStandardAxis(false, true, false);                       // bottom
  TChartAxis *top = MakeStandardAxis(false, true, true);      // top
  TChartAxis *left = MakeStandardAxis(false, false, false);   // left
  TChartAxis *right = MakeStandardAxis(false, false, true);   // right
  TChartAxis *depth = MakeStandardAxis(true, false, false);   // depth
  TChartAxis *depthTop = MakeStandardAxis(true, false, true); // depth-top
  // The top axis stands at the back of the chart's depth.
  top->SetZPosition(100);
  // Only the titles run along the vertical axes; their labels stay level.
  left->Title().SetDefaultAngle(90);
  right->Title().SetDefaultAngle(270);
  depth->SetVisible(false);
  depthTop->SetVisible(false);
  SetAutoRepaint(autoRepaint);
}

TCustomAxisPanel::~TCustomAxisPanel() {
  MarkDestroying();
  SetAutoRepaint(false);
  // The axes go with the panel; axis tools must not keep pointing at them.
  for (TUloCustomTool *tool : *tools_)
    if (auto *axisTool = dynamic_cast<TUloCustomToolAxis *>(tool)) axisTool->ForgetAxis();
  FreeSeries();
  tools_->Clear();
  // Elements handed to other panels but still kept by this one.
  while (!kept_.empty()) {
    std::unique_ptr<TCustomChartElement> element = std::move(kept_.back());
    kept_.pop_back();
    element.reset();
  }
  // Series of other owners that still name this panel as theirs are gone
  // from the list; the axes can go now, while the lists they look at exist.
  axes_.Clear();
}

void TCustomAxisPanel::SetChart3DPercent(int value) {
  if (value < 1 || value > 100) throw rtl::Exception(FormatInts(UloMsg3DPercent, {1, 100}));
  SetAndInvalidate(chart3DPercent_, value);
}

void TCustomAxisPanel::SetBottomAxis(const TChartAxis &value) { BottomAxis()->Assign(value); }
void TCustomAxisPanel::SetTopAxis(const TChartAxis &value) { TopAxis()->Assign(value); }
void TCustomAxisPanel::SetLeftAxis(const TChartAxis &value) { LeftAxis()->Assign(value); }
void TCustomAxisPanel::SetRightAxis(const TChartAxis &value) { RightAxis()->Assign(value); }
void TCustomAxisPanel::SetDepthAxis(const TChartAxis &value) { DepthAxis()->Assign(value); }
void TCustomAxisPanel::SetDepthTopAxis(const TChartAxis &value) { DepthTopAxis()->Assign(value); }

// ---- series membership

void TCustomAxisPanel::AddSeries(TChartSeries *series) {
  if (!series || seriesList_.IndexOf(series) >= 0) return;
  if (series->ParentChart() != this) {
    // The series leaves its old panel and comes back here through its own
    // SetParentChart.
    series->SetParentChart(this);
    if (seriesList_.IndexOf(series) >= 0) return;
  }
  series->AddedToPanel();
  seriesList_.Add(series);
  BroadcastSeriesEvent(series, TUloSeriesEventStyle::seAdd);
  if (OnAddSeries) OnAddSeries(series);
  Invalidate();
}

void TCustomAxisPanel::AdoptSeries(std::unique_ptr<TChartSeries> series) {
  TChartSeries *p = series.get();
  if (!p) return;
  if (std::none_of(kept_.begin(), kept_.end(), [p](const auto &e) { return e.get() == p; }))
    kept_.push_back(std::move(series));
  AddSeries(p);
}

void TCustomAxisPanel::AdoptTool(std::unique_ptr<TUloCustomTool> tool) {
  TUloCustomTool *p = tool.get();
  if (!p) return;
  if (std::none_of(kept_.begin(), kept_.end(), [p](const auto &e) { return e.get() == p; }))
    kept_.push_back(std::move(tool));
  tools_->Add(p);
}

std::unique_ptr<TCustomChartElement> TCustomAxisPanel::ReleaseElement(TCustomChartElement *element) {
  for (auto it = kept_.begin(); it != kept_.end(); ++it)
    if (it->get() == element) {
      std::unique_ptr<TCustomChartElement> out = std::move(*it);
      kept_.erase(it);
      return out;
    }
  return nullptr;
}

void TCustomAxisPanel::RemoveSeries(TChartSeries *series) {
  const int index = seriesList_.IndexOf(series);
  if (index >= 0) RemoveSeriesAt(index);
}

void TCustomAxisPanel::RemoveSeriesAt(int index) {
  TChartSeries *series = seriesList_.Items(index);
  BroadcastSeriesEvent(series, TUloSeriesEventStyle::seRemove);
  // The series forgets the panel; it is out of the list before anything
  // else can look at the list again.
  seriesList_.Remove(series);
  seriesList_.Groups().RemoveSeries(series);
  series->RemovedFromPanel();
  if (OnRemoveSeries) OnRemoveSeries(series);
  Invalidate();
}

void TCustomAxisPanel::FreeSeries(const std::function<bool(const TChartSeries &)> &match) {
  const std::vector<TChartSeries *> all(seriesList_.begin(), seriesList_.end());
  for (TChartSeries *s : all) {
    if (seriesList_.IndexOf(s) < 0) continue;
    if (match && !match(*s)) continue;
    std::unique_ptr<TCustomChartElement> kept = ReleaseElement(s);
    if (s->ParentChart() == this)
      s->SetParentChart(nullptr);
    else
      RemoveSeries(s);
    kept.reset();
  }
}

int TCustomAxisPanel::CountActiveSeries() const {
  int n = 0;
  for (TChartSeries *s : seriesList_)
    n += s->Active() ? 1 : 0;
  return n;
}

bool TCustomAxisPanel::AxisHasPoints(const TChartAxis *axis) const {
  TChartAxis *a = const_cast<TChartAxis *>(axis);
  for (TChartSeries *s : seriesList_)
    if (s->Active() && s->PointCount() > 0 && s->IsOnAxis(a)) return true;
  return false;
}

TChartSeries *TCustomAxisPanel::FirstSeriesOnAxis(const TChartAxis *axis) const {
  TChartAxis *a = const_cast<TChartAxis *>(axis);
  TChartSeries *any = nullptr;
  for (TChartSeries *s : seriesList_) {
    if (!s->IsOnAxis(a)) continue;
    if (s->Active()) return s;
    if (!any) any = s;
  }
  return any;
}

bool TCustomAxisPanel::AxisInUse(const TChartAxis *axis, bool defaultValue) const {
  TChartAxis *a = const_cast<TChartAxis *>(axis);
  for (TChartSeries *s : seriesList_) {
    if (!s->Active()) continue;
    if (!s->IsAxisBased()) return false;
    if (s->IsOnAxis(a)) return true;
  }
  return defaultValue;
}

bool TCustomAxisPanel::AxisShown(const TChartAxis *axis) const {
  if (!axisVisible_ || !axis->Visible()) return false;
  if (axis->IsDepthAxis) return View3D();
  // An axis no active series uses takes no space, unless there is no
  // active series at all (an empty chart still shows its frame of axes).
  return AxisInUse(axis, CountActiveSeries() == 0);
}

int TCustomAxisPanel::AxisPageCount(const TChartAxis *axis) const {
  TChartAxis *a = const_cast<TChartAxis *>(axis);
  int most = 0;
  for (TChartSeries *s : seriesList_)
    if (s->Active() && s->IsOnAxis(a)) most = std::max(most, s->PointCount());
  const int per = pages_.MaxPointsPerPage();
  if (most < 1 || per < 1) return 1;
  return most / per + (most % per != 0 ? 1 : 0);
}

TChartSeries *TCustomAxisPanel::LegendSeries(int n, bool onlyActive) const {
  int seen = 0;
  for (TChartSeries *s : seriesList_) {
    if (!s->ShowInLegend() || (onlyActive && !s->Active())) continue;
    if (seen++ == n) return s;
  }
  return nullptr;
}

std::string TCustomAxisPanel::LegendSeriesTitle(int n, bool onlyActive) const {
  TChartSeries *s = LegendSeries(n, onlyActive);
  return s ? s->TitleOrName() : std::string();
}

int TCustomAxisPanel::MultiLineTextWidth(std::string_view text, int &lines) {
  lines = 0;
  int widest = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\r', start);
    const std::string_view piece =
        text.substr(start, end == std::string_view::npos ? text.size() - start : end - start);
    widest = std::max(widest, Canvas().MeasureTextWidth(piece));
    ++lines;
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return widest;
}

int TCustomAxisPanel::MaxLabelWidth() {
  int widest = 0;
  for (TChartSeries *s : seriesList_) {
    const int n = s->Labels().Count();
    for (int i = 0; i < n; ++i)
      widest = std::max(widest, MultiLineTextWidth(s->Label(i)));
  }
  return widest;
}

int TCustomAxisPanel::MaxMarkWidth() {
  int widest = 0;
  for (TChartSeries *s : seriesList_)
    if (s->Active()) widest = std::max(widest, s->MaxMarkWidth());
  return widest;
}

void TCustomAxisPanel::BroadcastSeriesEvent(TCustomChartElement *series, TUloSeriesEventStyle kind) {
  if (seriesEventsOff_) return;
  TUloSeriesEvent event;
  event.Series = series;
  event.Event = kind;
  BroadcastUloEvent(event);
}

bool TCustomAxisPanel::CheckMouseOverSeries(int x, int y) {
  bool any = false;
  for (int i = SeriesCount() - 1; i >= 0; --i) {
    if (i >= SeriesCount()) continue;
    TChartSeries *s = GetSeries(i);
    if (s->Active() && s->CheckMouse(x, y)) any = true;
  }
  return any;
}

void TCustomAxisPanel::CheckCircularSource(TChartSeries *series, TChartSeries *source) {
  if (!series || !source) return;
  if (source == series) throw ChartException(UloMsgCircularSeries);
  series->CheckCircularSource(source);
}

bool TCustomAxisPanel::AcceptsDataSource(TChartSeries *series, streaming::TStoredComponent *component) {
  if (!component || component == series) return false;
  if (auto *s = dynamic_cast<TChartSeries *>(component)) return s->IsValidSeriesSource();
  return dynamic_cast<TUloSeriesSource *>(component) != nullptr;
}

// ---- tools

void TCustomAxisPanel::BroadcastToolEvent(int stage) {
  if (tools_->Count() == 0) return;
  // A tool may leave the list while it handles the stage.
  const std::vector<TUloCustomTool *> tools(tools_->begin(), tools_->end());
  for (TUloCustomTool *tool : tools)
    if (tools_->IndexOf(tool) >= 0 && tool->Active()) tool->ChartEvent(stage);
}

bool TCustomAxisPanel::BroadcastToolMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x,
                                               int y) {
  if (kind == UloToolMouseDown) CancelMouse = false;
  if (tools_->Count() == 0) return CancelMouse;
  const std::vector<TUloCustomTool *> tools(tools_->begin(), tools_->end());
  for (TUloCustomTool *tool : tools) {
    if (tools_->IndexOf(tool) < 0 || !tool->Active()) continue;
    tool->ChartMouseEvent(kind, button, shift, x, y);
    if (CancelMouse) return true;
  }
  return false;
}

void TCustomAxisPanel::BroadcastSeriesToolEvent(TChartSeries &series, int stage) {
  if (tools_->Count() == 0) return;
  const std::vector<TUloCustomTool *> tools(tools_->begin(), tools_->end());
  for (TUloCustomTool *tool : tools) {
    auto *seriesTool = dynamic_cast<TUloCustomToolSeries *>(tool);
    if (seriesTool && seriesTool->Series() == &series && tools_->IndexOf(tool) >= 0 && tool->Active())
      seriesTool->SeriesDrawEvent(stage);
  }
}

void TCustomAxisPanel::BroadcastToolWheelEvent(int kind, int x, int y) {
  if (tools_->Count() == 0) return;
  const std::vector<TUloCustomTool *> tools(tools_->begin(), tools_->end());
  for (TUloCustomTool *tool : tools)
    if (tools_->IndexOf(tool) >= 0 && tool->Active()) tool->MouseWheelEvent(kind, x, y);
}

void TCustomAxisPanel::HostMouseLeave() {
  TCustomUloPanelExtended::HostMouseLeave();
  BroadcastToolEvent(UloToolStageMouseLeave);
}

// ---- palette

TColor TCustomAxisPanel::PaletteColor(int index) const {
  if (colorPalette_.empty()) return UloGetDefaultColor(index);
  const int n = static_cast<int>(colorPalette_.size());
  int i = index % n;
  if (i < 0) i += n;
  return colorPalette_[static_cast<size_t>(i)];
}

TColor TCustomAxisPanel::FreePaletteColor(bool checkBackground, TChartSeries *series) {
  const int count =
      colorPalette_.empty() ? static_cast<int>(UloDefaultPalette.size()) : static_cast<int>(colorPalette_.size());
  if (count <= 0) return PaletteColor(0);
  for (int i = 0; i < count - 1; ++i) {
    const TColor c = PaletteColor(i);
    if (IsFreeSeriesColor(c, checkBackground, series)) return c;
  }
  return PaletteColor(count - 1);
}

void TCustomAxisPanel::AssignAutomaticColors() {
  for (TChartSeries *s : seriesList_)
    if (s->ExplicitSeriesColor() == clDefault) s->SetAutomaticColor(FreePaletteColor(true, s));
}

// ---- virtual operations with a body here

void TCustomAxisPanel::DoAfterDraw() {
  if (OnAfterDraw) OnAfterDraw();
}
void TCustomAxisPanel::DoBeforeDrawAxes() {
  if (OnBeforeDrawAxes) OnBeforeDrawAxes(this);
}
void TCustomAxisPanel::DoBeforeDrawChart() {
  if (OnBeforeDrawChart) OnBeforeDrawChart(this);
}
void TCustomAxisPanel::DoBeforeDrawSeries() {
  if (OnBeforeDrawSeries) OnBeforeDrawSeries(this);
}

void TCustomAxisPanel::RefreshSeriesData(TChartSeries *series) {
  if (!series || series->Loading()) return;
  streaming::TStoredComponent *source = series->DataSource();
  if (!source) {
    if (TUloFunction *f = series->FunctionType(); f && f->NoSourceNeeded()) {
      TSeriesUpdateGuard update(*series);
      series->ClearPoints();
      f->AddPoints(nullptr);
    } else if (!series->HasManualData && UloFillSampleData) {
      series->FillSampleValues(series->NumSampleValues());
    }
    return;
  }
  if (auto *s = dynamic_cast<TChartSeries *>(source))
    series->CopyAllPointsFrom(*s);
  else if (auto *c = dynamic_cast<TUloSeriesSource *>(source))
    c->Refresh();
}

std::string TCustomAxisPanel::FormattedValueLegend(TChartSeries *, int) { return {}; }

// ---- copying and storing

void TCustomAxisPanel::Assign(const TCustomUloPanel &source) {
  if (auto *other = dynamic_cast<const TCustomAxisPanel *>(&source); other && other != this) {
    SetChart3DPercent(other->chart3DPercent_);
    SetAxisBehind(other->axisBehind_);
    SetAxisVisible(other->axisVisible_);
    BottomAxis()->Assign(*other->BottomAxis());
    SetClipPoints(other->clipPoints_);
    colorPalette_ = other->colorPalette_;
    customAxes_.Assign(other->customAxes_);
    LeftAxis()->Assign(*other->LeftAxis());
    DepthAxis()->Assign(*other->DepthAxis());
    DepthTopAxis()->Assign(*other->DepthTopAxis());
    pages_.Assign(other->pages_);
    RightAxis()->Assign(*other->RightAxis());
    TopAxis()->Assign(*other->TopAxis());
    SetView3DWalls(other->view3DWalls_);
  }
  TCustomUloPanelExtended::Assign(source);
}

void TCustomAxisPanel::DefineProperties(streaming::TPropertyTable &table) {
  TCustomUloPanelExtended::DefineProperties(table);
  table.Property("Chart3DPercent", this, &TCustomAxisPanel::Chart3DPercent, &TCustomAxisPanel::SetChart3DPercent, 15);
  table.Property("AxisBehind", this, &TCustomAxisPanel::AxisBehind, &TCustomAxisPanel::SetAxisBehind, true);
  table.Property("AxisVisible", this, &TCustomAxisPanel::AxisVisible, &TCustomAxisPanel::SetAxisVisible, true);
  table.Property("ClipPoints", this, &TCustomAxisPanel::ClipPoints, &TCustomAxisPanel::SetClipPoints, true);
  table.Collection("CustomAxes", customAxes_);
  table.Object("DepthAxis", [this] { return static_cast<streaming::TPersistent *>(DepthAxis()); });
  table.Object("DepthTopAxis", [this] { return static_cast<streaming::TPersistent *>(DepthTopAxis()); });
  table.Object("TopAxis", [this] { return static_cast<streaming::TPersistent *>(TopAxis()); });
  table.Object("BottomAxis", [this] { return static_cast<streaming::TPersistent *>(BottomAxis()); });
  table.Object("LeftAxis", [this] { return static_cast<streaming::TPersistent *>(LeftAxis()); });
  table.Object("RightAxis", [this] { return static_cast<streaming::TPersistent *>(RightAxis()); });
  table.Property("View3DWalls", this, &TCustomAxisPanel::View3DWalls, &TCustomAxisPanel::SetView3DWalls, true);
  table.Object("Pages", [this] { return static_cast<streaming::TPersistent *>(&pages_); });
  // Keys of older definitions: read, never written.
  table.Define(
      "Page",
      [this](const streaming::TValue &v, streaming::TReadContext &) {
        pages_.SetCurrent(streaming::TValueTraits<int>::FromValue(v));
      },
      nullptr);
  table.Define(
      "MaxPointsPerPage",
      [this](const streaming::TValue &v, streaming::TReadContext &) {
        pages_.SetMaxPointsPerPage(streaming::TValueTraits<int>::FromValue(v));
      },
      nullptr);
  table.Define(
      "ScaleLastPage",
      [this](const streaming::TValue &v, streaming::TReadContext &) { pages_.SetScaleLastPage(v.AsBoolean()); },
      nullptr);
}

void TCustomAxisPanel::Loaded() {
  TCustomUloPanelExtended::Loaded();
  // The series hold their points now: a page read early is clamped here.
  pages_.ClampCurrent();
}

void TCustomAxisPanel::InsertStoredChild(std::unique_ptr<streaming::TStoredComponent> child) {
  if (auto *series = dynamic_cast<TChartSeries *>(child.get())) {
    child.release();
    AdoptSeries(std::unique_ptr<TChartSeries>(series));
    return;
  }
  if (auto *tool = dynamic_cast<TUloCustomTool *>(child.get())) {
    child.release();
    AdoptTool(std::unique_ptr<TUloCustomTool>(tool));
    return;
  }
  TCustomUloPanelExtended::InsertStoredChild(std::move(child));
}

std::vector<streaming::TStoredComponent *> TCustomAxisPanel::StoredChildren() {
  std::vector<streaming::TStoredComponent *> out = TCustomUloPanelExtended::StoredChildren();
  for (TChartSeries *s : seriesList_)
    out.push_back(s);
  for (TUloCustomTool *t : *tools_)
    out.push_back(t);
  return out;
}

void TCustomAxisPanel::ForgetCustomAxis(TChartAxis *axis) {
  for (TChartSeries *s : seriesList_) {
    if (s->CustomHorizAxis() == axis) s->SetCustomHorizAxis(nullptr);
    if (s->CustomVertAxis() == axis) s->SetCustomVertAxis(nullptr);
  }
  for (TUloCustomTool *tool : *tools_)
    if (auto *axisTool = dynamic_cast<TUloCustomToolAxis *>(tool); axisTool && axisTool->Axis() == axis)
      axisTool->ForgetAxis();
}
