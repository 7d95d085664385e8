#include "TestClasses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace streaming_test;

// A window with two charts: a stored series with a points block, a custom
// axis chosen by index, a tool and a data source that name series further
// down.
const char *const kWindow = R"def(TTestForm Form7 {
  Caption = "Множества P(t) и Q(t)"
  Width = 614
  PrintMargins = (15, 7, 15, 7)
  TTestChart Chart1 {
    Color = clWhite
    View3D = false
    Zoom = 0.97
    Title.Text = ("P(t)")
    Title.Frame.Color = 0xF5A7FC
    CustomAxes = (
      {
        Maximum = 10.0
      },
      {
        Minimum = -0.5
        Horizontal = true
      }
    )
    TTestSeries Series1 {
      Active = false
      SeriesColor = clRed
      Identifier = "stored"
      Style = [tssA, tssC]
      DataSource = @Series3
      CustomHorizAxis = 1
      Data = <0003000000000000000000144000000000000018400000000000001c40>
    }
    TTestTool ChartTool1 {
      Series = @Series3
      Pen.Color = clWhite
      Pen.Mode = pmXor
    }
  }
  TTestChart Chart2 {
    Title.Text = ("Q(t)")
    TTestSeries Series3 {
    }
  }
}
)def";

class Streaming : public ::testing::Test {
protected:
  TClassRegistry registry;
  void SetUp() override {
    RegisterTestClasses(registry);
    Log().clear();
  }
  std::unique_ptr<TTestForm> Read(std::string_view text) {
    auto root = TReadContext(registry).ReadNew(text);
    return std::unique_ptr<TTestForm>(dynamic_cast<TTestForm *>(root.release()));
  }
};

TEST_F(Streaming, WindowDefinitionReadsIntoObjectsAndWritesBackTheSameText) {
  auto form = Read(kWindow);
  ASSERT_TRUE(form);
  EXPECT_EQ(form->Caption, "Множества P(t) и Q(t)");
  EXPECT_EQ(form->Width, 614);
  EXPECT_EQ(form->PrintMargins, (std::vector<int32_t>{15, 7, 15, 7}));
  ASSERT_EQ(form->Charts.size(), 2u);
  TTestChart &chart = *form->Charts[0];
  EXPECT_EQ(chart.Color, clWhite);
  EXPECT_FALSE(chart.View3D);
  EXPECT_EQ(chart.Zoom, 0.97);
  EXPECT_EQ(chart.Title.Text, std::vector<std::string>{"P(t)"});
  EXPECT_EQ(chart.Title.Frame.Color, 0xF5A7FC);
  ASSERT_EQ(chart.CustomAxes.Items.size(), 2u);
  EXPECT_TRUE(chart.CustomAxes.Items[1]->Horizontal);

  auto *series1 = FindComponentAs<TTestSeries>(*form, "Series1");
  auto *series3 = FindComponentAs<TTestSeries>(*form, "Series3");
  auto *tool = FindComponentAs<TTestTool>(*form, "ChartTool1");
  ASSERT_TRUE(series1 && series3 && tool);
  EXPECT_FALSE(series1->Active);
  EXPECT_EQ(series1->SeriesColor, clRed);
  EXPECT_EQ(series1->Identifier, "stored");
  EXPECT_EQ(series1->Style, 5u);
  EXPECT_EQ(series1->X, (std::vector<double>{0, 1, 2}));
  EXPECT_EQ(series1->Y, (std::vector<double>{5, 6, 7}));
  EXPECT_EQ(series1->CustomHorizAxis, chart.CustomAxes.Items[1].get());
  EXPECT_EQ(series1->DataSource, series3);
  EXPECT_EQ(tool->Series, series3);
  EXPECT_EQ(tool->Pen.Mode, TPenMode::pmXor);

  EXPECT_EQ(WriteComponent(*form), kWindow);
}

TEST_F(Streaming, ObjectsBuiltInCodeSurviveWriteReadWrite) {
  TTestForm form;
  form.SetName("Form4");
  form.Caption = "tab\there \"quoted\" \x01 and a bad byte \xFF";
  auto chart = std::make_unique<TTestChart>();
  chart->SetName("Chart1");
  chart->Zoom = std::nextafter(1.0, 2.0);
  chart->Color = static_cast<TColor>(0x80000020); // a system colour without a name
  chart->Title.Text = {"line one", "", "третья"};
  auto series = std::make_unique<TTestSeries>();
  series->SetName("Series1");
  series->HasManualData = true;
  for (int i = 0; i < 40; ++i)
    series->AddXY(i * 0.5, std::sin(i));
  auto *seriesPtr = series.get();
  chart->InsertStoredChild(std::move(series));
  auto tool = std::make_unique<TTestTool>();
  tool->SetName("ChartTool1");
  tool->Series = seriesPtr;
  chart->InsertStoredChild(std::move(tool));
  form.InsertStoredChild(std::move(chart));

  std::string first = WriteComponent(form);
  auto again = Read(first);
  EXPECT_EQ(WriteComponent(*again), first);
  auto *s = FindComponentAs<TTestSeries>(*again, "Series1");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->X, seriesPtr->X);
  EXPECT_EQ(s->Y, seriesPtr->Y);
  EXPECT_EQ(again->Caption, form.Caption);
  EXPECT_EQ(again->Charts[0]->Zoom, std::nextafter(1.0, 2.0));
  EXPECT_EQ(again->Charts[0]->Color, static_cast<TColor>(0x80000020));
}

TEST_F(Streaming, OnlyValuesThatDifferFromTheirDefaultsAreWritten) {
  TTestForm form;
  EXPECT_EQ(WriteComponent(form), "TTestForm {\n}\n");
  auto chart = std::make_unique<TTestChart>();
  chart->Zoom = -0.0; // differs from 0.0 by its sign only, and must come back
  TTestChart *c = chart.get();
  form.InsertStoredChild(std::move(chart));
  auto series = std::make_unique<TTestSeries>();
  series->AddXY(0, 1); // points added by the program are not stored
  c->InsertStoredChild(std::move(series));
  EXPECT_EQ(WriteComponent(form), "TTestForm {\n  TTestChart {\n    Zoom = -0.0\n    TTestSeries {\n    }\n  }\n}\n");
}

TEST_F(Streaming, PointsBlockHoldsTheExactBytes) {
  struct Case {
    std::vector<double> X, Y;
    size_t Bytes;
    uint8_t Flags;
  };
  const Case cases[] = {
      {{0, 1, 2}, {5, 6, 7}, 29, 0}, // Y only: 5 + 3 * 8
      {{0, 1, 5}, {5, 6, 7}, 53, 1}, // X and Y: 5 + 3 * 16
      {{}, {}, 5, 0},
  };
  for (const auto &k : cases) {
    TTestSeries s;
    s.X = k.X;
    s.Y = k.Y;
    s.HasManualData = true;
    TValue tree = WriteComponentTree(s);
    ASSERT_EQ(tree.Members.size(), 1u);
    const auto &bytes = tree.Members[0].Value.AsBinary();
    ASSERT_EQ(bytes.size(), k.Bytes);
    EXPECT_EQ(bytes[0], k.Flags);
    TBinaryReader r(bytes);
    r.ReadU8();
    EXPECT_EQ(r.ReadI32(), static_cast<int32_t>(k.X.size()));
  }
}

TEST_F(Streaming, ReferencesAndFixupsResolveBeforeLoadedInCreationOrder) {
  // The axis list is given after the series that picks an axis from it.
  const char *text = "TTestForm F {\n"
                     "  TTestChart C {\n"
                     "    TTestTool T {\n      Series = @S\n    }\n"
                     "    TTestSeries S {\n      CustomHorizAxis = 0\n    }\n"
                     "    CustomAxes = ({})\n"
                     "  }\n"
                     "}\n";
  auto form = Read(text);
  auto *s = FindComponentAs<TTestSeries>(*form, "S");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->CustomHorizAxis, form->Charts[0]->CustomAxes.Items[0].get());
  EXPECT_EQ(Log(), (std::vector<std::string>{"Loaded F", "Loaded C", "Loaded T with S", "Loaded S"}));
}

TEST_F(Streaming, ReferencesReachComponentsTheWindowMadeInCode) {
  TTestForm form;
  auto chart = std::make_unique<TTestChart>();
  auto series = std::make_unique<TTestSeries>();
  series->SetName("MadeInCode");
  TTestSeries *made = series.get();
  chart->InsertStoredChild(std::move(series));
  form.InsertStoredChild(std::move(chart));
  TReadContext(registry).ReadInto("TTestForm {\n  TTestChart {\n    TTestTool T {\n      Series = @MadeInCode\n"
                                  "    }\n  }\n}\n",
                                  form);
  auto *tool = FindComponentAs<TTestTool>(form, "T");
  ASSERT_TRUE(tool);
  EXPECT_EQ(tool->Series, made);
}

TEST_F(Streaming, LoadingLastsFromCreationUntilLoaded) {
  TTestForm form;
  TReadContext(registry).ReadInto("TTestForm F {\n  Caption = \"x\"\n}\n", form);
  EXPECT_TRUE(form.SawLoadingInSetter);
  EXPECT_FALSE(form.Loading());
  form.Caption.clear();
  TPropertyTable t;
  form.DefineProperties(t);
  TReadContext ctx(registry);
  t.Find("Caption")->Read(TValue::MakeString("y"), ctx);
  EXPECT_FALSE(form.SawLoadingInSetter);
}

TEST_F(Streaming, OldKeysAreReadAndNeverWritten) {
  auto form = Read("TTestForm {\n TTestChart {\n  BackColor = clInfoBk\n"
                   "  TTestSeries {\n   Multiplier = 1\n   Multiplier = 2.5\n  }\n }\n}\n");
  EXPECT_EQ(form->Charts[0]->WallColor, clInfoBk);
  auto *s = dynamic_cast<TTestSeries *>(form->Charts[0]->Children[0].get());
  EXPECT_EQ(s->MultipliersRead, (std::vector<double>{1.0, 2.5}));
  EXPECT_EQ(WriteComponent(*form), "TTestForm {\n  TTestChart {\n    TTestSeries {\n    }\n  }\n}\n");
  auto byNumber = Read("TTestForm {\n TTestChart {\n  BackColor = 16099324\n }\n}\n");
  EXPECT_EQ(byNumber->Charts[0]->WallColor, 16099324);
}

TEST_F(Streaming, CustomKeysReuseRecordsAndCollectionsCarryItemClasses) {
  TTestChart chart;
  auto blur = std::make_unique<TTestBlur>();
  blur->Amount = 3;
  chart.Filters.Items.push_back(std::move(blur));
  chart.Filters.Items.push_back(std::make_unique<TTestInvert>());
  auto series = std::make_unique<TTestSeries>();
  series->SetName("S");
  series->MarkItems.push_back(std::make_unique<TTestPen>()); // an item with every default
  series->MarkItems.push_back(nullptr);                      // no item at this point
  series->MarkItems.push_back(std::make_unique<TTestPen>());
  series->MarkItems.back()->Width = 3;
  chart.InsertStoredChild(std::move(series));
  const std::string expected = "TTestChart {\n"
                               "  Filters = (\n    TTestBlur {\n      Amount = 3\n    },\n    TTestInvert {}\n  )\n"
                               "  TTestSeries S {\n"
                               "    Items = (\n      {},\n      nil,\n      {\n        Width = 3\n      }\n    )\n"
                               "  }\n"
                               "}\n";
  ASSERT_EQ(WriteComponent(chart), expected);

  auto back = TReadContext(registry).ReadNew(expected);
  auto *c = dynamic_cast<TTestChart *>(back.get());
  ASSERT_TRUE(c);
  ASSERT_EQ(c->Filters.Items.size(), 2u);
  EXPECT_EQ(c->Filters.Items[0]->ClassName(), "TTestBlur");
  EXPECT_EQ(dynamic_cast<TTestBlur &>(*c->Filters.Items[0]).Amount, 3);
  EXPECT_EQ(c->Filters.Items[1]->ClassName(), "TTestInvert");
  auto *s = dynamic_cast<TTestSeries *>(c->Children.at(0).get());
  ASSERT_EQ(s->MarkItems.size(), 3u);
  EXPECT_TRUE(s->MarkItems[0] && !s->MarkItems[1] && s->MarkItems[2]);
  EXPECT_EQ(s->MarkItems[2]->Width, 3);
  EXPECT_EQ(WriteComponent(*back), expected);

  // A filter class nobody registered, or a registered class that is no filter.
  const std::pair<const char *, const char *> bad[] = {
      {"TTestChart {\n  Filters = (\n    TTestSharpen {}\n  )\n}\n", "Line 3: unknown class TTestSharpen"},
      {"TTestChart {\n  Filters = (TTestBlur {},\n    TTestSeries {})\n}\n", "Line 3: TTestSeries is not a filter"},
      {"TTestChart {\n  TTestSeries {\n    Items = (nil, {\n Colour = 1 })\n  }\n}\n",
       "Line 4: unknown property Colour"},
  };
  for (const auto &[text, message] : bad) {
    try {
      TReadContext(registry).ReadNew(text);
      ADD_FAILURE() << text;
    } catch (const EDefinitionError &e) {
      EXPECT_EQ(e.Message().rfind(message, 0), 0u) << e.Message();
    }
  }
}

struct BadDefinition {
  const char *Text;
  int Line;
  const char *Fragment;
};

class BadDefinitions : public Streaming, public ::testing::WithParamInterface<BadDefinition> {};

TEST_P(BadDefinitions, RaiseWithTheLineAndLeaveNothingLoading) {
  const auto &k = GetParam();
  TTestForm form;
  try {
    TReadContext(registry).ReadInto(k.Text, form);
    FAIL() << "no error for " << k.Text;
  } catch (const EDefinitionError &e) {
    EXPECT_EQ(e.Line(), k.Line) << e.Message();
    EXPECT_NE(e.Message().find(k.Fragment), std::string::npos) << e.Message();
    EXPECT_EQ(e.Message().rfind("Line " + std::to_string(k.Line) + ": ", 0), 0u) << e.Message();
  }
  EXPECT_FALSE(form.Loading());
  for (auto &c : form.Charts) {
    EXPECT_FALSE(c->Loading());
    for (auto &child : c->Children)
      EXPECT_FALSE(child->Loading());
  }
  EXPECT_TRUE(Log().empty()) << "Loaded() ran after a fault";
}

INSTANTIATE_TEST_SUITE_P(
    Objects, BadDefinitions,
    ::testing::Values(
        BadDefinition{"TTestForm {\n  TTestChart {\n    TNoSuchSeries S {\n    }\n  }\n}\n", 3,
                      "unknown class TNoSuchSeries"},
        BadDefinition{"TTestChart {\n}\n", 1, "describes a TTestChart, not a TTestForm"},
        BadDefinition{"TTestForm {\n  Caption = \"a\"\n  Colour = clRed\n}\n", 3, "unknown property Colour"},
        BadDefinition{"TTestForm {\n  TTestChart C {\n    Title.Font.Size = 3\n  }\n}\n", 3,
                      "unknown property Title.Font of TTestChart C"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    Zoom.Step = 3\n  }\n}\n", 3, "Zoom is not an object"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    Title = 3\n  }\n}\n", 3, "expected its properties as a record"},
        BadDefinition{"TTestForm {\n  Width = \"wide\"\n}\n", 2, "expected an integer, found a string"},
        BadDefinition{"TTestForm {\n  Width = 3000000000\n}\n", 2, "out of range"},
        BadDefinition{"TTestForm {\n  Caption =\n  7\n}\n", 3, "expected a string"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    View3D = 1\n  }\n}\n", 3, "expected a boolean"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    Zoom = nan\n  }\n}\n", 3,
                      "expected a number, found an identifier"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    Zoom = 9007199254740993\n  }\n}\n", 3, "no exact double"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    Color = clPink\n  }\n}\n", 3, "unknown colour clPink"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    TTestTool {\n      Pen.Mode = pmAnd\n    }\n  }\n}\n", 4,
                      "unknown value pmAnd"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    TTestSeries {\n      Style = [tssA, tssZ]\n    }\n  }\n}\n", 4,
                      "unknown set element tssZ"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    Elevation = 400\n  }\n}\n", 3,
                      "TTestChart.Elevation: Elevation must be between 0 and 360"},
        BadDefinition{"TTestForm {\n  PrintMargins = (1, 2)\n}\n", 2, "four integers"},
        BadDefinition{"TTestForm {\n  TTestSeries S {\n  }\n}\n", 2, "a form holds charts only"},
        BadDefinition{"TTestForm {\n  TTestChart A {\n  }\n  TTestChart A {\n  }\n}\n", 4,
                      "a second component named A (the first is at line 2)"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    TTestTool {\n      Series = @Nobody\n    }\n  }\n}\n", 4,
                      "no component named Nobody"},
        BadDefinition{"TTestForm {\n  TTestChart C {\n    TTestTool {\n      Series = @C\n    }\n  }\n}\n", 4,
                      "C is not a series"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    TTestSeries {\n      CustomHorizAxis = 2\n    }\n  }\n}\n", 4,
                      "custom axis 2 does not exist"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    CustomAxes = ({}, 3)\n  }\n}\n", 3, "expected a record"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    CustomAxes = (\n      {\n        Maximum = true\n      }\n    "
                      ")\n  }\n}\n",
                      5, "expected a number"},
        // Points blocks: short, negative count, a count larger than the block, bytes left over.
        BadDefinition{"TTestForm {\n TTestChart {\n  TTestSeries {\n   Data = <00 0100>\n  }\n }\n}\n", 4,
                      "ends early"},
        BadDefinition{"TTestForm {\n TTestChart {\n  TTestSeries {\n   Data = <00 ffffffff>\n  }\n }\n}\n", 4,
                      "negative point count"},
        BadDefinition{"TTestForm {\n TTestChart {\n  TTestSeries {\n   Data = <00 ffffff7f 0000>\n  }\n }\n}\n", 4,
                      "ends early"},
        BadDefinition{"TTestForm {\n TTestChart {\n  TTestSeries {\n   Data = <00 00000000 00>\n  }\n }\n}\n", 4,
                      "1 unread bytes"},
        BadDefinition{"TTestForm {\n  TTestChart {\n    TTestSeries {\n      Data = \"00\"\n    }\n  }\n}\n", 4,
                      "expected a binary block"}));

TEST_F(Streaming, WriterRefusesWhatCannotComeBack) {
  TTestForm form;
  auto chart = std::make_unique<TTestChart>();
  chart->SetName("Chart1");
  chart->Zoom = std::numeric_limits<double>::quiet_NaN();
  TTestChart *c = chart.get();
  form.InsertStoredChild(std::move(chart));
  try {
    WriteComponent(form);
    FAIL();
  } catch (const EWriteError &e) {
    EXPECT_NE(e.Message().find("TTestChart Chart1, property Zoom: NaN"), std::string::npos) << e.Message();
  }
  c->Zoom = std::numeric_limits<double>::infinity();
  auto back = Read(WriteComponent(form));
  EXPECT_EQ(back->Charts[0]->Zoom, std::numeric_limits<double>::infinity());

  auto series = std::make_unique<TTestSeries>();
  auto tool = std::make_unique<TTestTool>();
  tool->Series = series.get();
  c->InsertStoredChild(std::move(series));
  c->InsertStoredChild(std::move(tool));
  EXPECT_THROW(WriteComponent(form), EWriteError); // the series has no name to refer to

  TTestSeries styled;
  styled.Style = 8; // a bit without a name
  EXPECT_THROW(WriteComponent(styled), EWriteError);
  TTestForm named;
  named.SetName("not a name");
  EXPECT_THROW(WriteComponent(named), EWriteError);
}

TEST_F(Streaming, RegistryCreatesOnlyRegisteredClasses) {
  EXPECT_FALSE(registry.RegisterClass<TTestForm>("TTestForm")); // already there: the first stays
  registry.UnregisterClass("TTestTool");
  EXPECT_THROW(Read("TTestForm {\n TTestChart {\n  TTestTool {\n  }\n }\n}\n"), EDefinitionError);
  EXPECT_EQ(registry.Create("TTestTool"), nullptr);
  EXPECT_NE(registry.Create("TTestChart"), nullptr);
}

} // namespace
