#include "chart/engine/UloGallery.h"

#include "chart/foundation/UloConst.h"

namespace {

std::unique_ptr<TUloSeriesTypes> &GalleryHolder() {
  static std::unique_ptr<TUloSeriesTypes> gallery;
  return gallery;
}

std::unique_ptr<TUloToolTypes> &ToolsHolder() {
  static std::unique_ptr<TUloToolTypes> tools;
  return tools;
}

template <class Base> void RegisterForStreaming(const TUloClassRef<Base> &ref) {
  if (ref) streaming::ClassRegistry().RegisterClass(ref.Name(), ref.Factory());
}

// Stored definitions keep knowing a class while any gallery entry still
// names it (a series class registered under several descriptions).
bool GalleryNames(const std::string &className) {
  const TUloSeriesTypes &g = UloSeriesTypes();
  for (int i = 0; i < g.Count(); ++i) {
    const TUloSeriesType &t = g.Items(i);
    if (t.SeriesClass.Name() == className || t.FunctionClass.Name() == className) return true;
  }
  return false;
}

} // namespace

// ---- the series gallery ------------------------------------------------------

const TUloSeriesType *TUloSeriesTypes::Find(const TChartSeriesClass &seriesClass) const {
  for (const auto &t : items_)
    if (t->SeriesClass == seriesClass && t->FunctionClass.IsNone()) return t.get();
  return nullptr;
}

TUloSeriesTypes &UloSeriesTypes() {
  auto &g = GalleryHolder();
  if (!g) g = std::make_unique<TUloSeriesTypes>();
  return *g;
}

void UloRegisterGalleryEntry(const TChartSeriesClass &seriesClass, const TUloFunctionClass &functionClass,
                             const std::string &description, int32_t subIndex, int32_t sampleSeriesCount,
                             const std::string &page) {
  RegisterForStreaming(seriesClass);
  RegisterForStreaming(functionClass);
  TUloSeriesTypes &gallery = UloSeriesTypes();
  if (subIndex == 0)
    for (int i = 0; i < gallery.Count(); ++i) {
      const TUloSeriesType &t = gallery.Items(i);
      if (t.SeriesClass == seriesClass && t.FunctionClass == functionClass) return;
    }
  auto entry = std::make_unique<TUloSeriesType>();
  entry->SeriesClass = seriesClass;
  entry->FunctionClass = functionClass;
  entry->Description = description;
  entry->Page = page;
  entry->SampleSeriesCount = sampleSeriesCount;
  entry->SubIndex = subIndex;
  gallery.Add(std::move(entry));
}

void RegisterUloSeries(const TChartSeriesClass &seriesClass, const std::string &description, const std::string &page,
                       int32_t sampleSeriesCount) {
  UloRegisterGalleryEntry(seriesClass, {}, description, 0, sampleSeriesCount, page);
}

void RegisterUloFunction(const TUloFunctionClass &functionClass, const std::string &description,
                         const std::string &page, int32_t sampleSeriesCount) {
  UloRegisterGalleryEntry({}, functionClass, description, 0, sampleSeriesCount, page);
}

void RegisterUloBasicFunction(const TUloFunctionClass &functionClass, const std::string &description) {
  RegisterUloFunction(functionClass, description, UloMsgPageStandard, 2);
}

void UloUnregisterGalleryEntries(bool bySeries, const std::string &className) {
  if (className.empty()) return;
  TUloSeriesTypes &gallery = UloSeriesTypes();
  for (int i = gallery.Count() - 1; i >= 0; --i) {
    const TUloSeriesType &t = gallery.Items(i);
    if ((bySeries ? t.SeriesClass.Name() : t.FunctionClass.Name()) == className) gallery.Delete(i);
  }
  if (!GalleryNames(className)) streaming::ClassRegistry().UnregisterClass(className);
}

void UnRegisterUloSeries(const std::vector<TChartSeriesClass> &classes) {
  for (const auto &c : classes)
    UloUnregisterGalleryEntries(true, c.Name());
}

void UnRegisterUloFunctions(const std::vector<TUloFunctionClass> &classes) {
  for (const auto &c : classes)
    UloUnregisterGalleryEntries(false, c.Name());
}

// ---- the tool registry -------------------------------------------------------

int TUloToolTypes::IndexOf(const std::string &className) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].Name() == className) return static_cast<int>(i);
  return -1;
}

TUloToolTypes &UloToolTypes() {
  auto &t = ToolsHolder();
  if (!t) t = std::make_unique<TUloToolTypes>();
  return *t;
}

void RegisterUloTools(const std::vector<TUloToolClass> &classes) {
  TUloToolTypes &tools = UloToolTypes();
  for (const auto &c : classes) {
    if (!c || tools.IndexOf(c.Name()) >= 0) continue;
    RegisterForStreaming(c);
    tools.Add(c);
  }
}

void UnRegisterUloTools(const std::vector<TUloToolClass> &classes) {
  TUloToolTypes &tools = UloToolTypes();
  for (const auto &c : classes) {
    int i = tools.IndexOf(c.Name());
    if (i < 0) continue;
    tools.Delete(i);
    streaming::ClassRegistry().UnregisterClass(c.Name());
  }
}

// ---- start and stop ------------------------------------------------------------

void UloCreateRegistries() {
  UloSeriesTypes();
  UloToolTypes();
}

void UloFreeRegistries() {
  if (auto &g = GalleryHolder()) {
    for (int i = 0; i < g->Count(); ++i) {
      const TUloSeriesType &t = g->Items(i);
      if (t.SeriesClass) streaming::ClassRegistry().UnregisterClass(t.SeriesClass.Name());
      if (t.FunctionClass) streaming::ClassRegistry().UnregisterClass(t.FunctionClass.Name());
    }
    g.reset();
  }
  if (auto &t = ToolsHolder()) {
    for (int i = 0; i < t->Count(); ++i)
      streaming::ClassRegistry().UnregisterClass(t->Items(i).Name());
    t.reset();
  }
}
