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

TEST_F(Gallery, AClassReferenceNamesAndMakesItsClass) {
  const TChartSeriesClass &c = UloClass<TPlainSeries>();
  EXPECT_EQ(c.Name(), "TStoreSeries");
  auto s = c.Create();
  ASSERT_NE(s, nullptr);
  EXPECT_NE(dynamic_cast<TPlainSeries *>(s.get()), nullptr);
  EXPECT_TRUE(TChartSeriesClass().IsNone());
  EXPECT_EQ(TChartSeriesClass().Create(), nullptr);
  EXPECT_EQ(UloClass<TGalleryToolA>().Name(), "TGalleryToolA");
  EXPECT_EQ(UloClass<TGalleryFunction>().Name(), "TGalleryFunction");
}

TEST_F(Gallery, EntriesKeepTheirFieldsAndOrder) {
  RegisterUloSeries(UloClass<TPlainSeries>(), "Plain", UloMsgPageStandard, 1);
  RegisterUloFunction(UloClass<TGalleryFunction>(), "Func", UloMsgPageExtended, 3);
  RegisterUloBasicFunction(UloClass<TOtherFunction>(), "Basic");
  UloRegisterGalleryEntry(UloClass<TZSeries>(), UloClass<TGalleryFunction>(), "Both", 2, 4, "3D");
  ASSERT_EQ(UloSeriesTypes().Count(), 4);
  const TUloSeriesType &plain = UloSeriesTypes().Items(0);
  EXPECT_EQ(plain.SeriesClass.Name(), "TStoreSeries");
  EXPECT_TRUE(plain.FunctionClass.IsNone());
  EXPECT_EQ(plain.Page, "Standard");
  EXPECT_EQ(plain.SampleSeriesCount, 1);
  EXPECT_EQ(plain.SubIndex, 0);
  const TUloSeriesType &func = UloSeriesTypes().Items(1);
  EXPECT_TRUE(func.SeriesClass.IsNone());
  EXPECT_EQ(func.FunctionClass.Name(), "TGalleryFunction");
  EXPECT_EQ(func.Page, "Extended");
  const TUloSeriesType &basic = UloSeriesTypes().Items(2);
  EXPECT_EQ(basic.Page, "Standard");
  EXPECT_EQ(basic.SampleSeriesCount, 2);
  const TUloSeriesType &both = UloSeriesTypes().Items(3);
  EXPECT_EQ(both.SubIndex, 2);
  EXPECT_EQ(both.SampleSeriesCount, 4);
  EXPECT_EQ(both.Page, "3D");
  EXPECT_EQ(UloSeriesTypes().Find(UloClass<TPlainSeries>()), &plain);
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

TEST_F(Gallery, DefinitionsCreateRegisteredSeries) {
  const std::string text = "TChart Chart1 {\n  TStoreSeries Series1 {\n  }\n}\n";
  EXPECT_THROW(streaming::ReadComponent(text), streaming::EDefinitionError);
  RegisterUloSeries(UloClass<TPlainSeries>(), "Plain", UloMsgPageStandard, 1);
  auto chart = streaming::ReadComponent(text);
  auto *c = dynamic_cast<TChart *>(chart.get());
  ASSERT_NE(c, nullptr);
  ASSERT_EQ(c->SeriesCount(), 1);
  EXPECT_NE(dynamic_cast<TPlainSeries *>(c->GetSeries(0)), nullptr);
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
