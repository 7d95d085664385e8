// The "Data" block byte for byte, the flag decisions over whole series,
// and blocks the reader must refuse without touching the series.
#include "stored_support.h"

#include "chart/engine/UloSeriesData.h"

#include <limits>

namespace {

using namespace store_test;
using streaming::EReadError;

class StoredData : public WithChartEngine {};

// ---- byte-exact blocks ----------------------------------------------------------

TEST_F(StoredData, ThreePlainPointsAreTwentyNineBytes) {
  TPlainSeries s;
  for (double y : {5, 6, 7})
    s.AddPoint(y);
  EXPECT_EQ(WriteData(s), TBytes().U8(0).I32(3).F64(5).F64(6).F64(7).Get());
  EXPECT_EQ(WriteData(s).size(), 29u);
}

struct XCase {
  const char *name;
  std::vector<double> x;
  bool stored;
};

TEST_F(StoredData, XValuesAreStoredUnlessTheyCountFromZero) {
  const std::vector<XCase> cases{
      {"0 1 2", {0, 1, 2}, false},    {"0 1 5", {0, 1, 5}, true},  {"1 2 3", {1, 2, 3}, true},
      {"0 1.5 2", {0, 1.5, 2}, true}, {"one point 0", {0}, false}, {"one point 4", {4}, true},
  };
  for (const auto &c : cases) {
    TPlainSeries s;
    for (size_t i = 0; i < c.x.size(); ++i)
      s.AddPointXY(c.x[i], 10.0 + static_cast<double>(i));
    TBytes expect;
    expect.U8(c.stored ? 1 : 0).I32(static_cast<int32_t>(c.x.size()));
    for (size_t i = 0; i < c.x.size(); ++i) {
      if (c.stored) expect.F64(c.x[i]);
      expect.F64(10.0 + static_cast<double>(i));
    }
    EXPECT_EQ(WriteData(s), expect.Get()) << c.name;
  }
}

TEST_F(StoredData, StoreXValuesOffNeverStoresThem) {
  TPlainSeries s;
  s.StoreXValues = false;
  s.AddPointXY(3, 1);
  EXPECT_EQ(WriteData(s), TBytes().U8(0).I32(1).F64(1).Get());
}

TEST_F(StoredData, ColoursLabelsAndTheirAbsence) {
  TPlainSeries s;
  s.SetSeriesColor(clRed);
  s.AddPointXY(0, 1, "", clRed); // the series' own colour is no colour of its own
  s.AddPointXY(1, 2);
  EXPECT_EQ(WriteData(s)[0], 0);

  s.AddPointXY(2, 3, "ab", clBlue);
  // Every point has a colour field (clDefault where it has none) and a
  // label (an empty one is a single zero byte).
  EXPECT_EQ(WriteData(s), TBytes()
                              .U8(UloDataColors | UloDataLabels)
                              .I32(3)
                              .F64(1)
                              .I32(clRed)
                              .U8(0)
                              .F64(2)
                              .I32(clDefault)
                              .U8(0)
                              .F64(3)
                              .I32(clBlue)
                              .U8(2)
                              .Text("ab")
                              .Get());
}

TEST_F(StoredData, HorizontalSeriesHoldYFirstAndReadBackTheSame) {
  THorizSeries s;
  s.AddPointXY(7, 0);
  s.AddPointXY(8, 1);
  s.AddPointXY(9, 4);
  // Y is the not-mandatory value here: stored because it is not 0, 1, 2.
  EXPECT_EQ(WriteData(s), TBytes().U8(1).I32(3).F64(0).F64(7).F64(1).F64(8).F64(4).F64(9).Get());

  THorizSeries back;
  ReadData(back, WriteData(s));
  ASSERT_EQ(back.PointCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(back.XValueAt(i), s.XValueAt(i));
    EXPECT_EQ(back.YValueAt(i), s.YValueAt(i));
  }
}

TEST_F(StoredData, FurtherListsFollowTheLabel) {
  TZSeries s;
  s.AddXYZ(0, 1, 2.5);
  s.AddXYZ(1, 3, -4);
  EXPECT_EQ(WriteData(s), TBytes().U8(0).I32(2).F64(1).F64(2.5).F64(3).F64(-4).Get());
  TZSeries back;
  ReadData(back, WriteData(s));
  ASSERT_EQ(back.PointCount(), 2);
  EXPECT_EQ(back.Z().Value(0), 2.5);
  EXPECT_EQ(back.Z().Value(1), -4);
}

TEST_F(StoredData, CustomMarkPositionsPadEveryPoint) {
  TPlainSeries s;
  for (double y : {1, 2, 3})
    s.AddPoint(y);
  TSeriesMarkPosition &p = s.Marks().Positions().Ensure(1);
  p.ArrowFrom = {1, 2};
  p.ArrowFix = true;
  p.ArrowTo = {3, 4};
  p.Custom = true;
  p.Height = 5;
  p.LeftTop = {6, 7};
  p.Width = 8;
  std::vector<uint8_t> block = WriteData(s);
  EXPECT_EQ(block, TBytes()
                       .U8(UloDataMarkPositions)
                       .I32(3)
                       .F64(1)
                       .Position(0, 0, false, 0, 0, false, 0, 0, 0, 0)
                       .F64(2)
                       .Position(1, 2, true, 3, 4, true, 5, 6, 7, 8)
                       .F64(3)
                       .Position(0, 0, false, 0, 0, false, 0, 0, 0, 0)
                       .Get());
  // Writing padded the positions up to the last point.
  EXPECT_EQ(s.Marks().Positions().Count(), 3);

  TPlainSeries back;
  ReadData(back, block);
  ASSERT_EQ(back.Marks().Positions().Count(), 3);
  const TSeriesMarkPosition *q = back.Marks().Positions().Position(1);
  ASSERT_NE(q, nullptr);
  EXPECT_TRUE(q->Custom && q->ArrowFix);
  EXPECT_EQ(q->LeftTop.X, 6);
  EXPECT_EQ(q->Width, 8);
  EXPECT_EQ(WriteData(back), block);
}

// ---- nothing is dropped from long series ----------------------------------------

TEST_F(StoredData, LateLabelsColoursAndXValuesAreKept) {
  struct Case {
    const char *name;
    int count;
    std::function<void(TPlainSeries &, int)> add;
    uint8_t flag;
  };
  const std::vector<Case> cases{
      {"a label after point 100", 150, [](TPlainSeries &s, int i) { s.AddPointXY(i, i, i == 140 ? "late" : ""); },
       UloDataLabels},
      {"a colour after point 10000", 10050,
       [](TPlainSeries &s, int i) { s.AddPointXY(i, i, "", i == 10040 ? clLime : clDefault); }, UloDataColors},
      {"an X gap after point 10000", 10050, [](TPlainSeries &s, int i) { s.AddPointXY(i < 10020 ? i : i + 0.5, i); },
       UloDataXValues},
  };
  for (const auto &c : cases) {
    TPlainSeries s;
    s.BeginUpdate();
    for (int i = 0; i < c.count; ++i)
      c.add(s, i);
    s.EndUpdate();
    std::vector<uint8_t> block = WriteData(s);
    EXPECT_EQ(block[0], c.flag) << c.name;
    TPlainSeries back;
    ReadData(back, block);
    ASSERT_EQ(back.PointCount(), c.count) << c.name;
    for (int i = 0; i < c.count; ++i) {
      ASSERT_EQ(back.XValueAt(i), s.XValueAt(i)) << c.name << " point " << i;
      ASSERT_EQ(back.Label(i), s.Label(i)) << c.name << " point " << i;
      ASSERT_EQ(back.GetValueColorEntry(i), s.GetValueColorEntry(i)) << c.name << " point " << i;
    }
  }
}

TEST_F(StoredData, LongLabelsAreCutAtACharacterBoundary) {
  TPlainSeries s;
  std::string label = std::string(254, 'a') + "\xD0\x96" + "tail"; // the Cyrillic letter straddles byte 255
  s.AddPointXY(0, 1, label);
  TPlainSeries back;
  ReadData(back, WriteData(s));
  EXPECT_EQ(back.Label(0), std::string(254, 'a'));
}

TEST_F(StoredData, BytesThatAreNotTextBecomeReplacementCharacters) {
  TPlainSeries s;
  ReadData(s, TBytes()
                  .U8(UloDataLabels)
                  .I32(1)
                  .F64(2)
                  .U8(3)
                  .Text("a\xFF"
                        "b")
                  .Get());
  EXPECT_EQ(s.Label(0), "a\xEF\xBF\xBD"
                        "b");
}

// ---- reading ---------------------------------------------------------------------

TEST_F(StoredData, ReadingReplacesThePointsAndMarksThemManual) {
  TPlainSeries s;
  s.AddPointXY(100, 100, "old");
  int afterAdds = 0;
  s.OnAfterAdd = [&](TChartSeries *, int) { ++afterAdds; };
  ReadData(s, TBytes().U8(1).I32(2).F64(3).F64(4).F64(1).F64(2).Get());
  ASSERT_EQ(s.PointCount(), 2);
  EXPECT_EQ(s.XValueAt(0), 1);
  EXPECT_EQ(s.YValueAt(0), 2);
  EXPECT_EQ(s.XValueAt(1), 3);
  EXPECT_TRUE(s.HasManualData);
  EXPECT_EQ(s.UpdateCount(), 0);
  EXPECT_EQ(afterAdds, 0) << "points read inside one update tell nobody one by one";
}

TEST_F(StoredData, AVetoedPointStillTakesItsMarkPosition) {
  TPlainSeries s;
  int calls = 0;
  s.OnBeforeAdd = [&](TChartSeries *) { return ++calls != 1; };
  ReadData(s, TBytes()
                  .U8(UloDataMarkPositions)
                  .I32(2)
                  .F64(1)
                  .Position(0, 0, false, 0, 0, true, 1, 0, 0, 1)
                  .F64(2)
                  .Position(0, 0, false, 0, 0, true, 2, 0, 0, 2)
                  .Get());
  EXPECT_EQ(s.PointCount(), 1);
  EXPECT_EQ(s.Marks().Positions().Count(), 2);
}

TEST_F(StoredData, ToleratesUnknownFlagBits) {
  TPlainSeries s;
  ReadData(s, TBytes().U8(0xF0).I32(1).F64(9).Get());
  ASSERT_EQ(s.PointCount(), 1);
  EXPECT_EQ(s.YValueAt(0), 9);
}

struct BadBlock {
  const char *name;
  std::vector<uint8_t> bytes;
  const char *says;
};

TEST_F(StoredData, RefusedBlocksLeaveTheSeriesAsItWas) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<BadBlock> cases{
      {"empty", {}, ""},
      {"count cut short", TBytes().U8(0).I32(1).Get(), ""},
      {"negative count", TBytes().U8(0).I32(-1).Get(), "negative"},
      {"count beyond the bytes", TBytes().U8(0).I32(0x7FFFFFFF).F64(1).Get(), "ends before"},
      {"last record cut", TBytes().U8(1).I32(2).F64(0).F64(1).F64(1).Get(), "ends before"},
      {"label longer than the rest", TBytes().U8(UloDataLabels).I32(1).F64(0).U8(9).Text("ab").Get(), ""},
      {"bytes after the last point", TBytes().U8(0).I32(1).F64(1).U8(0).Get(), "follow"},
      {"not a number", TBytes().U8(0).I32(1).F64(nan).Get(), "not a number"},
  };
  for (const auto &c : cases) {
    TPlainSeries s;
    s.SetName("Series1");
    s.AddPointXY(4, 5, "kept");
    try {
      ReadData(s, c.bytes);
      ADD_FAILURE() << c.name << " was read";
    } catch (const EReadError &e) {
      std::string what = e.what();
      EXPECT_NE(what.find(c.says), std::string::npos) << c.name << ": " << what;
      EXPECT_NE(what.find("Series1"), std::string::npos) << c.name << ": " << what;
    }
    ASSERT_EQ(s.PointCount(), 1) << c.name;
    EXPECT_EQ(s.Label(0), "kept") << c.name;
    EXPECT_EQ(s.UpdateCount(), 0) << c.name;
    EXPECT_FALSE(s.HasManualData) << c.name;
  }
}

TEST_F(StoredData, AThrowingEventStillEndsTheUpdate) {
  TPlainSeries s;
  s.OnBeforeAdd = [](TChartSeries *) -> bool { throw std::runtime_error("no"); };
  EXPECT_THROW(ReadData(s, TBytes().U8(0).I32(1).F64(1).Get()), std::runtime_error);
  EXPECT_EQ(s.UpdateCount(), 0);
}

// ---- when the block is written -----------------------------------------------------

TEST_F(StoredData, OnlyManualOrAlwaysStoredDataIsWritten) {
  struct Case {
    bool always, manual, never, stored;
  };
  for (const Case &c : std::vector<Case>{{false, false, false, false},
                                         {true, false, false, true},
                                         {true, false, true, true},
                                         {false, true, false, true},
                                         {false, true, true, false}}) {
    TPlainSeries s;
    s.StoreDataAlways = c.always;
    s.HasManualData = c.manual;
    s.NeverStoreData = c.never;
    EXPECT_EQ(ShouldStoreData(s), c.stored) << c.always << c.manual << c.never;
  }
}

} // namespace
