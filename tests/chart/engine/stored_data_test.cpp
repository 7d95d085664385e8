// The "Data" block byte for byte, the flag decisions over whole series,
// and blocks the reader must refuse without touching the series.
#include "stored_support.h"

#include "chart/engine/UloSeriesData.h"

#include <array>
#include <functional>
#include <limits>

namespace {

using namespace store_test;
using streaming::EReadError;

class StoredData : public WithChartEngine {};

struct BlockCase {
  const char *name;
  std::function<void(TChartSeries &)> fill;
  TBytes bytes;
  bool horizontal = false, withZ = false;
};

// Each block is written exactly, read back into a new series of the kind
// and written again unchanged.
TEST_F(StoredData, BlocksByteForByteAndBack) {
  using B = TBytes;
  auto add = [](std::vector<std::pair<double, double>> xy) {
    return [xy](TChartSeries &s) {
      for (auto [x, y] : xy)
        s.AddPointXY(x, y);
    };
  };
  auto colours = [](TChartSeries &s) {
    s.SetSeriesColor(clRed);
    s.AddPointXY(0, 1, "", clRed); // the series' own colour is no colour of its own
    s.AddPointXY(1, 2);
    s.AddPointXY(2, 3, "ab", clBlue);
  };
  auto position = [](TChartSeries &s) {
    for (double y : {1, 2, 3})
      s.AddPoint(y);
    TSeriesMarkPosition &p = s.Marks().Positions().Ensure(1);
    p.ArrowFrom = {1, 2};
    p.ArrowFix = p.Custom = true;
    p.ArrowTo = {3, 4};
    p.Height = 5;
    p.LeftTop = {6, 7};
    p.Width = 8;
  };
  const B none = B().Position(0, 0, false, 0, 0, false, 0, 0, 0, 0);
  const std::vector<BlockCase> cases{
      {"X 0 1 2: 29 bytes", add({{0, 5}, {1, 6}, {2, 7}}), B().U8(0).I32(3).F64(5).F64(6).F64(7)},
      {"X 0 1 5", add({{0, 5}, {1, 6}, {5, 7}}), B().U8(1).I32(3).F64(0).F64(5).F64(1).F64(6).F64(5).F64(7)},
      {"X from 1", add({{1, 5}}), B().U8(1).I32(1).F64(1).F64(5)},
      {"StoreXValues off", [](TChartSeries &s) { s.StoreXValues = false, s.AddPointXY(3, 1); },
       B().U8(0).I32(1).F64(1)},
      {"colours and labels", colours,
       B().U8(6).I32(3).F64(1).I32(clRed).U8(0).F64(2).I32(clDefault).U8(0).F64(3).I32(clBlue).U8(2).Text("ab")},
      {"horizontal: Y first", add({{7, 0}, {8, 1}, {9, 4}}), B().U8(1).I32(3).F64(0).F64(7).F64(1).F64(8).F64(4).F64(9),
       true},
      {"a third list after the label",
       [](TChartSeries &s) { s.ValuesList()[2]->TempValue = 2.5, s.AddPointXY(0, 1, "x"); },
       B().U8(4).I32(1).F64(1).U8(1).Text("x").F64(2.5), false, true},
      {"a custom mark position pads every point", position,
       B().U8(8).I32(3).F64(1).Append(none).F64(2).Position(1, 2, true, 3, 4, true, 5, 6, 7, 8).F64(3).Append(none)},
  };
  for (const auto &c : cases) {
    auto make = [&]() -> std::unique_ptr<TChartSeries> {
      if (c.horizontal) return std::make_unique<THorizSeries>();
      if (c.withZ) return std::make_unique<TZSeries>();
      return std::make_unique<TPlainSeries>();
    };
    auto s = make(), back = make();
    c.fill(*s);
    const std::vector<uint8_t> block = WriteData(*s);
    EXPECT_EQ(block, c.bytes.Get()) << c.name;
    ReadData(*back, block);
    EXPECT_EQ(WriteData(*back), block) << c.name;
    ASSERT_EQ(back->PointCount(), s->PointCount()) << c.name;
    for (int i = 0; i < s->PointCount(); ++i) // X may be the index read back
      EXPECT_EQ(back->YValueAt(i), s->YValueAt(i)) << c.name << " point " << i;
  }
}

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
    TPlainSeries s, back;
    s.BeginUpdate();
    for (int i = 0; i < c.count; ++i)
      c.add(s, i);
    s.EndUpdate();
    std::vector<uint8_t> block = WriteData(s);
    EXPECT_EQ(block[0], c.flag) << c.name;
    ReadData(back, block);
    ASSERT_EQ(back.PointCount(), c.count) << c.name;
    for (int i = 0; i < c.count; ++i)
      ASSERT_TRUE(back.XValueAt(i) == s.XValueAt(i) && back.Label(i) == s.Label(i) &&
                  back.GetValueColorEntry(i) == s.GetValueColorEntry(i))
          << c.name << " point " << i;
  }
}

TEST_F(StoredData, LabelsAreTextOfAtMost255Bytes) {
  TPlainSeries s, back;
  s.AddPointXY(0, 1, std::string(254, 'a') + "\xD0\x96tail"); // the letter straddles byte 255
  ReadData(back, WriteData(s));
  EXPECT_EQ(back.Label(0), std::string(254, 'a'));
  ReadData(back, TBytes()
                     .U8(UloDataLabels)
                     .I32(1)
                     .F64(2)
                     .U8(3)
                     .Text("a\xFF"
                           "b"));
  EXPECT_EQ(back.Label(0), "a\xEF\xBF\xBD"
                           "b");
}

TEST_F(StoredData, AValueThatIsNotANumberIsNeverWritten) {
  TPlainSeries s;
  s.SetName("Series1");
  s.AddPointXY(0, 1);
  s.AddPointXY(1, std::numeric_limits<double>::quiet_NaN());
  try {
    WriteData(s);
    ADD_FAILURE() << "a block the reader refuses was written";
  } catch (const streaming::EWriteError &e) {
    EXPECT_NE(std::string(e.what()).find("Series1"), std::string::npos) << e.what();
  }
}

TEST_F(StoredData, ReadingReplacesThePointsInOneUpdate) {
  TPlainSeries s;
  s.AddPointXY(100, 100, "old");
  int afterAdds = 0;
  s.OnAfterAdd = [&](TChartSeries *, int) { ++afterAdds; };
  ReadData(s, TBytes().U8(0xF1).I32(2).F64(3).F64(4).F64(1).F64(2)); // unknown flag bits are tolerated
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
                  .Position(0, 0, false, 0, 0, true, 2, 0, 0, 2));
  EXPECT_EQ(s.PointCount(), 1);
  EXPECT_EQ(s.Marks().Positions().Count(), 2);
}

TEST_F(StoredData, RefusedBlocksLeaveTheSeriesAsItWas) {
  struct Case {
    const char *name;
    std::vector<uint8_t> bytes;
    const char *says;
  };
  const std::vector<Case> cases{
      {"empty", {}, ""},
      {"count cut short", TBytes().U8(0).I32(1), ""},
      {"negative count", TBytes().U8(0).I32(-1), "negative"},
      {"count beyond the bytes", TBytes().U8(0).I32(0x7FFFFFFF).F64(1), "ends before"},
      {"last record cut", TBytes().U8(1).I32(2).F64(0).F64(1).F64(1), "ends before"},
      {"label longer than the rest", TBytes().U8(UloDataLabels).I32(1).F64(0).U8(9).Text("ab"), ""},
      {"bytes after the last point", TBytes().U8(0).I32(1).F64(1).U8(0), "follow"},
      {"not a number", TBytes().U8(0).I32(1).F64(std::numeric_limits<double>::quiet_NaN()), "not a number"},
  };
  for (const auto &c : cases) {
    TPlainSeries s;
    s.SetName("Series1");
    s.AddPointXY(4, 5, "kept");
    try {
      ReadData(s, c.bytes);
      ADD_FAILURE() << c.name << " was read";
    } catch (const EReadError &e) {
      const std::string what = e.what();
      EXPECT_TRUE(what.find(c.says) != std::string::npos && what.find("Series1") != std::string::npos)
          << c.name << ": " << what;
    }
    ASSERT_EQ(s.PointCount(), 1) << c.name;
    EXPECT_EQ(s.Label(0), "kept") << c.name;
    EXPECT_EQ(s.UpdateCount(), 0) << c.name;
    EXPECT_FALSE(s.HasManualData) << c.name;
  }
  // An event that throws while the points are added still ends the update.
  TPlainSeries s;
  s.OnBeforeAdd = [](TChartSeries *) -> bool { throw std::runtime_error("no"); };
  EXPECT_THROW(ReadData(s, TBytes().U8(0).I32(1).F64(1)), std::runtime_error);
  EXPECT_EQ(s.UpdateCount(), 0);
}

TEST_F(StoredData, OnlyManualOrAlwaysStoredDataIsWritten) {
  // always, manual, never -> stored
  for (auto [always, manual, never, stored] : std::vector<std::array<bool, 4>>{{false, false, false, false},
                                                                               {true, false, true, true},
                                                                               {false, true, false, true},
                                                                               {false, true, true, false}}) {
    TPlainSeries s;
    s.StoreDataAlways = always;
    s.HasManualData = manual;
    s.NeverStoreData = never;
    EXPECT_EQ(ShouldStoreData(s), stored) << always << manual << never;
  }
}

} // namespace
