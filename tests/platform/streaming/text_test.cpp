#include "platform/streaming/Streaming.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

using namespace streaming;

TValue Wrap(TValue v) {
  TValue obj = TValue::MakeObject("TThing", "Thing1");
  obj.Add("V", std::move(v));
  return obj;
}

// print -> parse gives the same tree, and printing that gives the same text.
void ExpectRoundTrip(const TValue &tree) {
  std::string text = PrintDefinition(tree);
  TValue back = ParseDefinition(text);
  EXPECT_TRUE(back == tree) << text;
  EXPECT_EQ(PrintDefinition(back), text);
}

TEST(DefinitionText, DoublesComeBackBitForBit) {
  std::mt19937_64 gen(20261207);
  std::vector<double> values = {0.0,
                                -0.0,
                                0.1,
                                1.0 / 3,
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::lowest(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::denorm_min(),
                                -std::numeric_limits<double>::denorm_min(),
                                9007199254740993.0,
                                1e23};
  for (int i = 0; i < 20000; ++i) {
    uint64_t bits = gen();
    if (i % 4 == 0) bits &= 0x800FFFFFFFFFFFFFull; // denormals
    double d = std::bit_cast<double>(bits);
    if (!std::isnan(d)) values.push_back(d);
  }
  TValue list = TValue::MakeList();
  for (double d : values)
    list.Items.push_back(TValue::MakeFloat(d));
  TValue back = ParseDefinition(PrintDefinition(Wrap(list)));
  const auto &items = back.Members.at(0).Value.AsList();
  ASSERT_EQ(items.size(), values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    ASSERT_EQ(items[i].Kind, TValueKind::vkFloat) << i;
    ASSERT_EQ(std::bit_cast<uint64_t>(items[i].Float), std::bit_cast<uint64_t>(values[i])) << values[i];
  }
}

TEST(DefinitionText, DoublesAreWrittenShortAndNeverAsIntegers) {
  const std::pair<double, const char *> cases[] = {
      {1.0, "1.0"},       {-0.0, "-0.0"}, {0.1, "0.1"},    {1e300, "1e+300"},
      {5e-324, "5e-324"}, {-2.5, "-2.5"}, {1e21, "1e+21"}, {std::numeric_limits<double>::infinity(), "inf"},
  };
  for (const auto &[v, text] : cases)
    EXPECT_EQ(FormatDouble(v), text);
  EXPECT_THROW(FormatDouble(std::nan("")), EWriteError);
  EXPECT_THROW(PrintDefinition(Wrap(TValue::MakeFloat(std::nan("")))), EWriteError);
}

// A random tree of every kind of value, to catch any value whose text does
// not read back as itself.
class TreeMaker {
public:
  explicit TreeMaker(uint32_t seed) : gen_(seed) {}

  TValue Value(int depth) {
    switch (Pick(depth > 3 ? 8 : 12)) {
    case 0:
      return TValue::MakeNil();
    case 1:
      return TValue::MakeInteger(Int(), Pick(2) == 0);
    case 2:
      return TValue::MakeFloat(Double());
    case 3:
      return TValue::MakeBoolean(Pick(2) == 0);
    case 4:
      return TValue::MakeString(Bytes(Pick(20)));
    case 5:
      return TValue::MakeIdent(Ident());
    case 6:
      return TValue::MakeReference(Ident());
    case 7: {
      std::vector<uint8_t> b(Pick(3) == 0 ? Pick(200) : Pick(33));
      for (auto &x : b)
        x = static_cast<uint8_t>(gen_());
      return TValue::MakeBinary(b);
    }
    case 8: {
      std::vector<std::string> ids(Pick(4));
      for (auto &id : ids)
        id = Ident();
      return TValue::MakeSet(ids);
    }
    case 9:
    case 10: {
      TValue l = TValue::MakeList();
      for (size_t n = Pick(6); n > 0; --n)
        l.Items.push_back(Value(depth + 1));
      return l;
    }
    default: {
      TValue r = TValue::MakeRecord(Pick(3) == 0 ? Ident() : "");
      Members(r, depth + 1, false);
      return r;
    }
    }
  }

  TValue Object(int depth) {
    TValue o = TValue::MakeObject("T" + Ident(), Pick(3) == 0 ? "" : Ident());
    Members(o, depth + 1, depth < 4);
    return o;
  }

private:
  std::mt19937 gen_;
  size_t Pick(size_t n) { return n ? gen_() % n : 0; }
  int64_t Int() {
    const int64_t edges[] = {0, -1, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(),
                             0xFFFFFFFF};
    return Pick(4) == 0 ? edges[Pick(5)] : static_cast<int64_t>(gen_()) - (1 << 30);
  }
  double Double() {
    for (;;) {
      double d = std::bit_cast<double>((uint64_t(gen_()) << 32) | gen_());
      if (!std::isnan(d)) return d;
    }
  }
  std::string Bytes(size_t n) {
    const char *pieces[] = {"a", "\"", "\\", "\n", "\r", "\t", "\x01", "\x7F", "\xFF", "\xD0", "Я", "€", "😀", " ", "#"};
    std::string s;
    for (size_t i = 0; i < n; ++i)
      s += pieces[Pick(std::size(pieces))];
    return s;
  }
  std::string Ident() {
    std::string s(1, static_cast<char>('a' + Pick(26)));
    for (size_t n = Pick(6); n > 0; --n)
      s += "aZ_9"[Pick(4)];
    return s == "inf" ? "infx" : s;
  }
  void Members(TValue &owner, int depth, bool children) {
    for (size_t n = Pick(5); n > 0; --n) {
      if (children && Pick(3) == 0) {
        owner.Members.push_back(TMember{{}, Object(depth), 0});
      } else {
        std::string path = "P" + Ident();
        if (Pick(3) == 0) path += ".Q" + Ident();
        owner.Add(path, Value(depth));
      }
    }
  }
};

TEST(DefinitionText, RandomTreesRoundTrip) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    TreeMaker maker(seed);
    ExpectRoundTrip(maker.Object(0));
    if (HasFailure()) {
      ADD_FAILURE() << "seed " << seed;
      return;
    }
  }
}

TEST(DefinitionText, HandWrittenFormsReadAsTheirValues) {
  TValue t = ParseDefinition("\xEF\xBB\xBF# a comment\nTThing {  # after the brace\n"
                             "  A = -0x10  B = 1E3 C = \"\\x41\\\\\"\n"
                             "  D = <0A 0b\n    0c> E = -inf F = [] G = () H = {} I = nil\n}\n");
  ASSERT_EQ(t.Members.size(), 9u);
  EXPECT_EQ(t.Members[0].Value.AsInteger(), -16);
  EXPECT_EQ(t.Members[1].Value.AsFloat(), 1000.0);
  EXPECT_EQ(t.Members[2].Value.AsString(), "A\\");
  EXPECT_EQ(t.Members[3].Value.AsBinary(), (std::vector<uint8_t>{10, 11, 12}));
  EXPECT_EQ(t.Members[4].Value.AsFloat(), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(t.Members[4].Line, 5); // lines are counted through the binary block
  EXPECT_TRUE(t.Members[8].Value.IsNil());
}

TEST(DefinitionText, LongBinaryBlocksAreSplitIntoLines) {
  std::vector<uint8_t> bytes(70);
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(i * 37);
  std::string text = PrintDefinition(Wrap(TValue::MakeBinary(bytes)));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7) << text; // header, '<', 3 rows, '>' line, '}'
  EXPECT_EQ(ParseDefinition(text).Members[0].Value.AsBinary(), bytes);
}

struct Malformed {
  const char *Text;
  int Line;
  const char *Fragment;
};

class MalformedText : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedText, RaisesWithTheLine) {
  const auto &k = GetParam();
  try {
    ParseDefinition(k.Text);
    FAIL() << "accepted: " << k.Text;
  } catch (const EDefinitionError &e) {
    EXPECT_EQ(e.Line(), k.Line) << e.Message();
    EXPECT_NE(e.Message().find(k.Fragment), std::string::npos) << e.Message();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Text, MalformedText,
    ::testing::Values(Malformed{"", 1, "empty"}, Malformed{"  # only a comment\n", 2, "empty"},
                      Malformed{"TForm F {\n  A = 1\n", 3, "ends inside the component opened at line 1"},
                      Malformed{"TForm F {\n  TChart C {\n    A = 1\n  }\n", 5,
                                "ends inside the component opened at line 1"},
                      Malformed{"TForm F {\n  A = (1, 2\n}\n", 3, "expected ',' or ')', found '}'"},
                      Malformed{"TForm F {\n  A = (1, 2", 2, "ends inside the list opened at line 2"},
                      Malformed{"TForm F {\n  A = {\n    B = 1\n", 4, "ends inside the record opened at line 2"},
                      Malformed{"TForm F {\n  A = \"abc\n}\n", 2, "string not closed"},
                      Malformed{"TForm F {\n  A = <0a0>\n}\n", 2, "odd number"},
                      Malformed{"TForm F {\n  A = <0a\n zz>\n}\n", 3, "unexpected 'z' in a binary block"},
                      Malformed{"TForm F {\n  A = <0a", 2, "binary block not closed"},
                      Malformed{"TForm F {\n  A = 99999999999999999999\n}\n", 2, "out of range"},
                      Malformed{"TForm F {\n  A = 0x10000000000000000\n}\n", 2, "out of range"},
                      Malformed{"TForm F {\n  A = 1e999\n}\n", 2, "out of range"},
                      Malformed{"TForm F {\n  A = 1.\n}\n", 2, "digits expected after '.'"},
                      Malformed{"TForm F {\n  A = 12abc\n}\n", 2, "malformed number"},
                      Malformed{"TForm F {\n  A = -x\n}\n", 2, "expected a number after '-'"},
                      Malformed{"TForm F {\n}\n}\n", 3, "after the end of the definition"},
                      Malformed{"TForm F {\n}\nTForm G {\n}\n", 3, "after the end of the definition"},
                      Malformed{"TForm F {\n  X = { TChart C {} }\n}\n", 2, "a record holds properties only"},
                      Malformed{"TForm F {\n  A = [1]\n}\n", 2, "a set holds identifiers only"},
                      Malformed{"TForm F {\n  A 1\n}\n", 2, "'=' after the property name \"A\""},
                      Malformed{"TForm F {\n  A. = 1\n}\n", 2, "property name after '.'"},
                      Malformed{"TForm F {\n  = 1\n}\n", 2, "expected a property name or '}'"},
                      Malformed{"TForm F {\n  A = \"\\q\"\n}\n", 2, "unknown escape"},
                      Malformed{"TForm F {\n  A = \"\\x4\"\n}\n", 2, "two hexadecimal digits"},
                      Malformed{"TForm F {\n  A = \"\xC0\xAF\"\n}\n", 2, "invalid UTF-8"},
                      Malformed{"TForm F {\n  A = \"\x01\"\n}\n", 2, "control character"},
                      Malformed{"TForm F {\n  A = $10\n}\n", 2, "unexpected character '$'"},
                      Malformed{"TForm F {\n  A = @\n}\n", 3, "component name after '@'"},
                      Malformed{"42 {\n}\n", 1, "starts with a class name"},
                      Malformed{"TForm F\n", 2, "'{' to open the component"}));

TEST(DefinitionText, DeepNestingIsRefusedNotOverflowed) {
  std::string deep = "TForm F {\n  A = " + std::string(100000, '(') + "\n}\n";
  EXPECT_THROW(ParseDefinition(deep), EDefinitionError);
  std::string records = "TForm F {\n  A = ";
  for (int i = 0; i < 1000; ++i)
    records += "{ B = ";
  EXPECT_THROW(ParseDefinition(records), EDefinitionError);
  std::string objects;
  for (int i = 0; i < 1000; ++i)
    objects += "TForm {\n";
  EXPECT_THROW(ParseDefinition(objects), EDefinitionError);
  // Nesting within the limit is fine.
  std::string fine =
      "TForm F {\n  A = " + std::string(kMaxNesting - 1, '(') + std::string(kMaxNesting - 1, ')') + "\n}\n";
  EXPECT_NO_THROW(ParseDefinition(fine));
}

TEST(BinaryBlock, ReadsAreBoundedAndLittleEndian) {
  TBinaryWriter w;
  w.WriteU8(0xAB);
  w.WriteI32(-2);
  w.WriteF64(-0.0);
  w.WriteBytes("xy");
  const std::vector<uint8_t> expected = {0xAB, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0x80, 'x', 'y'};
  EXPECT_EQ(w.Bytes(), expected);
  TBinaryReader r(w.Bytes());
  EXPECT_EQ(r.ReadU8(), 0xAB);
  EXPECT_EQ(r.ReadI32(), -2);
  EXPECT_TRUE(std::signbit(r.ReadF64()));
  EXPECT_THROW(r.ReadI32(), EReadError); // 2 bytes left: nothing is consumed
  EXPECT_EQ(r.Remaining(), 2u);
  EXPECT_THROW(r.ExpectEnd(), EReadError);
  EXPECT_EQ(r.ReadBytes(2), "xy");
  EXPECT_THROW(r.ReadU8(), EReadError);
  EXPECT_THROW(r.Need(std::numeric_limits<size_t>::max()), EReadError);
  EXPECT_NO_THROW(r.ExpectEnd());
}

TEST(Colors, NamesAndNumbersReadBackAsTheSameColour) {
  const TColor colours[] = {
      clWhite, clBlack, clInfoBk, clNone, clDefault, 0xF5A7FC, 0xFBCDFC, static_cast<TColor>(0x80000031), -1};
  for (TColor c : colours) {
    TValue v = ColorToValue(c);
    TValue back = ParseDefinition(PrintDefinition(Wrap(v))).Members[0].Value;
    EXPECT_EQ(ValueToColor(back), c) << PrintValue(v);
  }
  EXPECT_EQ(PrintValue(ColorToValue(0xF5A7FC)), "0xF5A7FC");
  EXPECT_EQ(PrintValue(ColorToValue(clLtGray)), "clSilver");
  EXPECT_EQ(ValueToColor(TValue::MakeIdent("clLtGray")), clSilver);
  EXPECT_THROW(ValueToColor(TValue::MakeInteger(0x100000000)), EDefinitionError);
  EXPECT_THROW(ValueToColor(TValue::MakeString("clRed")), EDefinitionError);
}

} // namespace
