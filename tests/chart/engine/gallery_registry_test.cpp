// The series gallery and the tool registry: duplicates, variants,
// unregistration, the order of entries, and stored definitions knowing a
// class exactly while it is registered.
#include "stored_support.h"

#include "chart/engine/UloFunction.h"
#include "chart/engine/UloGallery.h"
#include "chart/engine/UloPalettes.h"
#include "chart/engine/UloTool.h"
#include "chart/foundation/UloConst.h"

namespace {

using namespace store_test;

class TGalleryFunction : public TUloFunction {
public:
  std::string_view ClassName() const override { return "TGalleryFunction"; }
};
class TOtherFunction : public TUloFunction {
public:
  std::string_view ClassName() const override { return "TOtherFunction"; }
};
class TGalleryToolA : public TUloCustomTool {
public:
  std::string_view ClassName() const override { return "TGalleryToolA"; }
};
class TGalleryToolB : public TUloCustomTool {
public:
  std::string_view ClassName() const override { return "TGalleryToolB"; }
};

// Each test starts from empty registries.
class Gallery : public WithChartEngine {
protected:
  void SetUp() override {
    WithChartEngine::SetUp();
    UloFreeRegistries();
    UloCreateRegistries();
  }
  void TearDown() override {
    UloFreeRegistries();
    UloCreateRegistries();
    WithChartEngine::TearDown();
  }
  static std::vector<std::string> Descriptions() {
    std::vector<std::string> r;
    for (int i = 0; i < UloSeriesTypes().Count(); ++i)
      r.push_back(UloSeriesTypes().Items(i).Description);
    return r;
  }
};

TEST_F(Gallery, EntriesKeepTheirFieldsAndOrder) {
  RegisterUloSeries(UloClass<TPlainSeries>(), "Plain", UloMsgPageStandard, 1);
  RegisterUloFunction(UloClass<TGalleryFunction>(), "Func", UloMsgPageExtended, 3);
  RegisterUloBasicFunction(UloClass<TOtherFunction>(), "Basic");
  UloRegisterGalleryEntry(UloClass<TZSeries>(), UloClass<TGalleryFunction>(), "Both", 2, 4, "3D");
  struct Row {
    std::string series, function, page;
    int samples, subIndex;
  };
  const std::vector<Row> expected{{"TStoreSeries", "", "Standard", 1, 0},
                                  {"", "TGalleryFunction", "Extended", 3, 0},
                                  {"", "TOtherFunction", "Standard", 2, 0},
                                  {"TZStoreSeries", "TGalleryFunction", "3D", 4, 2}};
  ASSERT_EQ(UloSeriesTypes().Count(), 4);
  for (int i = 0; i < 4; ++i) {
    const TUloSeriesType &t = UloSeriesTypes().Items(i);
    const Row &r = expected[static_cast<size_t>(i)];
    EXPECT_TRUE(t.SeriesClass.Name() == r.series && t.FunctionClass.Name() == r.function && t.Page == r.page &&
                t.SampleSeriesCount == r.samples && t.SubIndex == r.subIndex)
        << "entry " << i;
  }
  EXPECT_EQ(UloSeriesTypes().Find(UloClass<TPlainSeries>()), &UloSeriesTypes().Items(0));
  EXPECT_EQ(UloSeriesTypes().Find(UloClass<THorizSeries>()), nullptr);
}

TEST_F(Gallery, SubIndexZeroIsRegisteredOnceVariantsAlwaysAppend) {
  RegisterUloSeries(UloClass<TPlainSeries>(), "Plain", UloMsgPageStandard, 1);
  RegisterUloSeries(UloClass<TPlainSeries>(), "Plain again", UloMsgPageStandard, 1);
  EXPECT_EQ(Descriptions(), (std::vector<std::string>{"Plain"}));
  UloRegisterGalleryEntry(UloClass<TPlainSeries>(), {}, "Variant", 1, 1, UloMsgPageStandard);
  UloRegisterGalleryEntry(UloClass<TPlainSeries>(), {}, "Variant", 1, 1, UloMsgPageStandard);
  EXPECT_EQ(Descriptions(), (std::vector<std::string>{"Plain", "Variant", "Variant"}));
  // The same series with a function is another pair of classes.
  UloRegisterGalleryEntry(UloClass<TPlainSeries>(), UloClass<TGalleryFunction>(), "With function", 0, 1, "x");
  EXPECT_EQ(UloSeriesTypes().Count(), 4);
}

TEST_F(Gallery, UnregisteringRemovesEveryEntryOfTheClass) {
  RegisterUloSeries(UloClass<TPlainSeries>(), "Plain", UloMsgPageStandard, 1);
  RegisterUloSeries(UloClass<THorizSeries>(), "Horiz", UloMsgPageStandard, 1);
  UloRegisterGalleryEntry(UloClass<TPlainSeries>(), {}, "Variant", 1, 1, UloMsgPageStandard);
  RegisterUloFunction(UloClass<TGalleryFunction>(), "Plain", UloMsgPageStandard, 1);
  UnRegisterUloSeries({UloClass<TPlainSeries>()});
  EXPECT_EQ(Descriptions(), (std::vector<std::string>{"Horiz", "Plain"}))
      << "the function entry with the same description stays";
  EXPECT_FALSE(streaming::ClassRegistry().IsRegistered("TStoreSeries"));
  EXPECT_TRUE(streaming::ClassRegistry().IsRegistered("THorizStoreSeries"));
  UnRegisterUloFunctions({UloClass<TGalleryFunction>()});
  EXPECT_EQ(Descriptions(), (std::vector<std::string>{"Horiz"}));
  EXPECT_FALSE(streaming::ClassRegistry().IsRegistered("TGalleryFunction"));
}

TEST_F(Gallery, ToolsAreRegisteredOnceInOrder) {
  RegisterUloTools({UloClass<TGalleryToolB>(), UloClass<TGalleryToolA>(), UloClass<TGalleryToolB>()});
  RegisterUloTools({UloClass<TGalleryToolA>()});
  ASSERT_EQ(UloToolTypes().Count(), 2);
  EXPECT_EQ(UloToolTypes().Items(0).Name(), "TGalleryToolB");
  EXPECT_EQ(UloToolTypes().Items(1).Name(), "TGalleryToolA");
  EXPECT_EQ(UloToolTypes().IndexOf("TGalleryToolA"), 1);
  EXPECT_TRUE(streaming::ClassRegistry().IsRegistered("TGalleryToolA"));

  UnRegisterUloTools({UloClass<TGalleryToolB>(), UloClass<TGalleryToolB>()});
  ASSERT_EQ(UloToolTypes().Count(), 1);
  EXPECT_EQ(UloToolTypes().Items(0).Name(), "TGalleryToolA");
  EXPECT_FALSE(streaming::ClassRegistry().IsRegistered("TGalleryToolB"));
}

TEST_F(Gallery, ShutDownEmptiesEverythingAndStartUpMakesItAgain) {
  RegisterUloSeries(UloClass<TPlainSeries>(), "Plain", UloMsgPageStandard, 1);
  RegisterUloTools({UloClass<TGalleryToolA>()});
  StopChartEngine();
  EXPECT_EQ(UloColorPalettes(), nullptr);
  EXPECT_FALSE(streaming::ClassRegistry().IsRegistered("TStoreSeries"));
  EXPECT_FALSE(streaming::ClassRegistry().IsRegistered("TGalleryToolA"));
  EXPECT_FALSE(streaming::ClassRegistry().IsRegistered("TChartAxis"));
  StartChartEngine();
  EXPECT_EQ(UloSeriesTypes().Count(), 0);
  EXPECT_EQ(UloToolTypes().Count(), 0);
  EXPECT_EQ(UloMaxPixel, 0x3FFFFFF);
  for (const char *name : {"TChartAxisTitle", "TChartAxis", "TChartDepthAxis", "TSeriesMarks"})
    EXPECT_TRUE(streaming::ClassRegistry().IsRegistered(name)) << name;
  ASSERT_NE(UloColorPalettes(), nullptr);
}

} // namespace
