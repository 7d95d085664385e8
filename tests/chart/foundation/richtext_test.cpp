// The markup formatter for chart texts: what it measures, and what it draws
// where and in which font, seen through a canvas that records its calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/foundation/TestSurface.h"
#include "chart/foundation/UloRichText.h"

namespace {

struct Drawn {
  int x, y;
  std::string text;
  int size;
  TFontStyles style;
  std::string name;
  TColor color;
};

class TRichCanvas : public TUloCanvas3D {
public:
  std::vector<Drawn> texts;
  std::vector<std::string> shapes;

  void TextOut(int x, int y, std::string_view text) override {
    texts.push_back({x, y, std::string(text), Font().Size(), Font().Style(), Font().Name(), Font().Color()});
    TUloCanvas3D::TextOut(x, y, text);
  }
  void HorizontalLine(int left, int right, int y) override {
    shapes.push_back("HorizontalLine " + std::to_string(left) + "," + std::to_string(right) + " " + std::to_string(y) +
                     " pen " + std::to_string(Pen().Color()));
    TUloCanvas3D::HorizontalLine(left, right, y);
  }
  void Rectangle(int x0, int y0, int x1, int y1) override {
    shapes.push_back("Rectangle " + std::to_string(x0) + "," + std::to_string(y0) + "," + std::to_string(x1) + "," +
                     std::to_string(y1) + " pen " + std::to_string(Pen().Color()) + " brush " +
                     std::to_string(Brush().Color()));
    TUloCanvas3D::Rectangle(x0, y0, x1, y1);
  }
  void DrawLine(int x0, int y0, int x1, int y1) override {
    shapes.push_back("Line " + std::to_string(x0) + "," + std::to_string(y0) + "," + std::to_string(x1) + "," +
                     std::to_string(y1));
    TUloCanvas3D::DrawLine(x0, y0, x1, y1);
  }
};

struct Scene : foundation_test::Surface<TRichCanvas> {
  Scene() : Surface(300, 200, false) { canvas.Font().SetSize(10); }
  // The width of Text in a size and style, measured by the canvas itself,
  // with the font put back afterwards.
  int WidthAt(const std::string &text, int size, TFontStyles style = {}) {
    const int oldSize = canvas.Font().Size();
    const TFontStyles oldStyle = canvas.Font().Style();
    canvas.Font().SetSize(size);
    canvas.Font().SetStyle(style);
    const int w = canvas.MeasureTextWidth(text);
    canvas.Font().SetSize(oldSize);
    canvas.Font().SetStyle(oldStyle);
    return w;
  }
  int SthAt(int size) {
    const int old = canvas.Font().Size();
    canvas.Font().SetSize(size);
    const int h = canvas.StandardTextHeight();
    canvas.Font().SetSize(old);
    return h;
  }
  gdi::Size Measure(const std::string &text) {
    gdi::Size size;
    MeasureRichText(canvas, text, size);
    return size;
  }
};

const TFontStyles kBold = TFontStyle::fsBold;
const TFontStyles kBoldItalic = TFontStyles(TFontStyle::fsBold) | TFontStyle::fsItalic;

TEST(RichTextMeasure, PlainTextAndLinesOfIt) {
  Scene s;
  const int sth = s.SthAt(10);
  const gdi::Size plain = s.Measure("Hello");
  EXPECT_EQ(plain.cx, s.WidthAt("Hello", 10));
  EXPECT_EQ(plain.cy, sth);
  // A smaller run sits low in the line but the line keeps its height.
  EXPECT_EQ(s.Measure("<SMALL>x").cy, sth);
  s.canvas.Font().SetSize(10);

  struct Case {
    const char *text;
    const char *widest;
    int lines;
  } cases[] = {
      {"ab<BR>abcd", "abcd", 2},
      {"abcdef<p>ab", "abcdef", 2},
      {"one\r\n<B></B>two\r\n<I></I>three", "three", 3},
      {"a&lt;b", "a<b", 1},
  };
  for (const auto &c : cases) {
    const gdi::Size size = s.Measure(c.text);
    EXPECT_EQ(size.cx, s.WidthAt(c.widest, 10)) << c.text;
    // Every line counts, not only the tallest.
    EXPECT_EQ(size.cy, c.lines * sth) << c.text;
    s.canvas.Font().SetStyle({});
  }
  EXPECT_TRUE(s.canvas.texts.empty());
}

TEST(RichTextMeasure, MeasuringPaintsNothing) {
  Scene s;
  const gdi::Size size = s.Measure("<HR>x<IMG SRC=\"a.png\" WIDTH=30 HEIGHT=50>y<CENTER>z");
  EXPECT_TRUE(s.canvas.texts.empty());
  EXPECT_TRUE(s.canvas.shapes.empty());
  EXPECT_TRUE(s.AllWhite());
  // The rule takes a line; the placeholder is in line after "x" and reaches down 50.
  EXPECT_EQ(size.cy, s.SthAt(10) + 50);
  EXPECT_GE(size.cx, s.WidthAt("x", 10) + 30);
}

TEST(RichTextDraw, StylesOpenAndClose) {
  Scene s;
  DrawRichText(s.canvas, 5, 7, "x<B>y</B>z<B><I>w</>v");
  ASSERT_EQ(s.canvas.texts.size(), 5u);
  const auto &t = s.canvas.texts;
  EXPECT_EQ(t[0].style, TFontStyles{});
  EXPECT_EQ(t[1].style, kBold);
  EXPECT_EQ(t[2].style, TFontStyles{});
  EXPECT_EQ(t[3].style, kBoldItalic);
  EXPECT_EQ(t[4].style, kBold); // "</>" closed the italic

  // Once a font change is closed, "</>" reaches the style opened before it.
  for (const char *text : {"<B>a<H1>b</>c</>d", "<B>a<FONT SIZE=+4>b</FONT>c</>d", "<B>a<SUB>b</SUB>c</>d"}) {
    Scene u;
    DrawRichText(u.canvas, 0, 0, text);
    ASSERT_EQ(u.canvas.texts.size(), 4u) << text;
    EXPECT_EQ(u.canvas.texts[2].style, kBold) << text;
    EXPECT_EQ(u.canvas.texts[2].size, 10) << text;
    EXPECT_EQ(u.canvas.texts[3].style, TFontStyles{}) << text;
  }
  EXPECT_EQ(t[0].x, 5);
  EXPECT_EQ(t[0].y, 7);
  EXPECT_EQ(t[1].x, 5 + s.WidthAt("x", 10));
  EXPECT_EQ(t[2].x, t[1].x + s.WidthAt("y", 10, kBold));
}

TEST(RichTextDraw, FontTagsAndTheirRestoring) {
  struct Case {
    const char *text;
    int size;
    const char *name;
    TColor color;
    TFontStyles style;
  } cases[] = {
      {"<FONT SIZE=+4>a", 14, "Arial", clBlack, {}},
      {"<FONT size=-3>a", 7, "Arial", clBlack, {}},
      {"<FONT SIZE=20>a", 20, "Arial", clBlack, {}},
      {"<FONT NAME=Times New Roman COLOR=red>a", 10, "Times New Roman", clRed, {}},
      {"<FONT FAMILY=\"Courier New\" color=#0080FF>a", 10, "Courier New", RGBColor(0, 0x80, 0xFF), {}},
      {"<FONT WEIGHT=bold>a", 10, "Arial", clBlack, kBold},
      {"<FONT WEIGHT=NORMAL>a", 10, "Arial", clBlack, {}},
      {"<BIG>a", 12, "Arial", clBlack, {}},
      {"<SMALL>a", 8, "Arial", clBlack, {}},
      {"<H1>a", 48, "Arial", clBlack, {}},
      {"<H4>a", 18, "Arial", clBlack, {}},
      {"<H6>a", 8, "Arial", clBlack, {}},
      {"<PRE>a", 10, "COURIER NEW", clBlack, {}},
      {"<FONT SIZE=+0>x</FONT><H2>y</>a", 10, "Arial", clBlack, {}},
  };
  for (const auto &c : cases) {
    Scene s;
    s.canvas.Font().SetName("Arial");
    DrawRichText(s.canvas, 0, 0, std::string(c.text) + "</FONT>b");
    ASSERT_GE(s.canvas.texts.size(), 2u) << c.text;
    const Drawn &a = s.canvas.texts[s.canvas.texts.size() - 2];
    EXPECT_EQ(a.text, "a") << c.text;
    EXPECT_EQ(a.size, c.size) << c.text;
    EXPECT_EQ(a.name, c.name) << c.text;
    EXPECT_EQ(a.color, c.color) << c.text;
    EXPECT_EQ(a.style, c.style) << c.text;
    const Drawn &b = s.canvas.texts.back();
    EXPECT_EQ(b.size, 10) << c.text << ": the closing tag restores the font";
    EXPECT_EQ(b.name, "Arial") << c.text;
    EXPECT_EQ(b.color, clBlack) << c.text;
  }
}

TEST(RichTextDraw, ClosingInsideBoldItalicKeepsBothStyles) {
  Scene s;
  DrawRichText(s.canvas, 0, 0, "<B><I>H<SUB>2</SUB>O<BIG>!</>.");
  ASSERT_EQ(s.canvas.texts.size(), 5u);
  for (const auto &t : s.canvas.texts)
    EXPECT_EQ(t.style, kBoldItalic) << t.text;
  EXPECT_EQ(s.canvas.texts[1].size, 5);
  EXPECT_EQ(s.canvas.texts[3].size, 12);
  EXPECT_EQ(s.canvas.texts[4].size, 10);
}

TEST(RichTextDraw, SubscriptAndSuperscriptMoves) {
  Scene s;
  const int full = s.SthAt(10), half = s.SthAt(5);
  DrawRichText(s.canvas, 0, 0, "a<SUB>b</SUB>c");
  ASSERT_EQ(s.canvas.texts.size(), 3u);
  const int hb = half; // a run's height is its font's "W" height
  EXPECT_EQ(s.canvas.texts[0].y, 0);
  // Down by the small height, then by the line height less the run's, less 1.
  EXPECT_EQ(s.canvas.texts[1].y, half + full - hb - 1);
  // Back up by the restored height: the line goes on a little higher.
  EXPECT_EQ(s.canvas.texts[2].y, half + full - hb - 1 - full);

  Scene t;
  DrawRichText(t.canvas, 0, 0, "a<SUPER>b</SUPER>c");
  ASSERT_EQ(t.canvas.texts.size(), 3u);
  const int yb = -(half / 2) + full - hb - 1;
  EXPECT_EQ(t.canvas.texts[1].y, yb);
  EXPECT_EQ(t.canvas.texts[2].y, yb + full / 2);
}

TEST(RichTextDraw, LinesCentringRulesAndPlaceholders) {
  Scene s;
  const int sth = s.SthAt(10);
  DrawRichText(s.canvas, 10, 20, "ab\r\n<B></B>cd<HR>e<CENTER>mid</CENTER><BR><IMG SRC=\"x.png\" WIDTH=20>f");
  const auto &t = s.canvas.texts;
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0].text, "ab");
  EXPECT_EQ((std::pair{t[1].x, t[1].y}), (std::pair{10, 20 + sth})); // after CR LF
  // The rule goes from the left edge at the line's top, then a line down.
  ASSERT_GE(s.canvas.shapes.size(), 1u);
  EXPECT_EQ(s.canvas.shapes[0],
            "HorizontalLine 10,110 " + std::to_string(20 + sth) + " pen " + std::to_string(0x808080));
  EXPECT_EQ(t[2].text, "e");
  EXPECT_EQ((std::pair{t[2].x, t[2].y}), (std::pair{10, 20 + 2 * sth}));
  EXPECT_EQ(t[3].x, 150 - s.WidthAt("mid", 10) / 2); // the canvas bounds' middle
  // The placeholder: white box with red frame and diagonals, 20 x 40, at the
  // position (a line break moves down only when text follows), then the
  // text goes on to its right.
  const int top = t[2].y;
  EXPECT_EQ(t[4].y, top + sth);
  EXPECT_EQ(t[4].x, 30);
  ASSERT_EQ(s.canvas.shapes.size(), 4u);
  EXPECT_EQ(s.canvas.shapes[1], "Rectangle 10," + std::to_string(top) + ",30," + std::to_string(top + 40) + " pen " +
                                    std::to_string(clRed) + " brush " + std::to_string(clWhite));
  EXPECT_EQ(s.canvas.shapes[2], "Line 10," + std::to_string(top) + ",30," + std::to_string(top + 40));
  EXPECT_EQ(s.image.Pixel(20, top + 20), clRed);   // on a diagonal
  EXPECT_EQ(s.image.Pixel(13, top + 30), clWhite); // inside the box
}

TEST(RichTextDraw, EntitiesDecodeInOrder) {
  EXPECT_EQ(DecodeEntities("&lt;a&gt; &amp; &quot;b&quot;"), "<a> & \"b\"");
  EXPECT_EQ(DecodeEntities("&amp;lt;"), "&lt;");
  Scene s;
  DrawRichText(s.canvas, 0, 0, "x&lt;y&gt;");
  ASSERT_EQ(s.canvas.texts.size(), 1u);
  EXPECT_EQ(s.canvas.texts[0].text, "x<y>");
}

TEST(RichTextDraw, NothingCarriesOverToTheNextText) {
  Scene s;
  s.canvas.Font().SetSize(12);
  DrawRichText(s.canvas, 0, 0, "<FONT SIZE=20><B>a"); // never closed
  s.canvas.Font().SetSize(8);
  s.canvas.Font().SetStyle({});
  DrawRichText(s.canvas, 0, 0, "</FONT>b</>c");
  ASSERT_EQ(s.canvas.texts.size(), 3u);
  EXPECT_EQ(s.canvas.texts[1].size, 8);
  EXPECT_EQ(s.canvas.texts[2].size, 8);
  EXPECT_EQ(s.canvas.texts[2].text, "c");
  EXPECT_EQ(s.canvas.texts[2].style, TFontStyles{});
}

TEST(RichTextErrors, MessagesAndClasses) {
  struct Case {
    const char *text;
    const char *message;
    bool parser; // HtmlParserException, else the general class
  } cases[] = {
      {"ab<B", "Missing > at <B", true},
      {"x<FONT NAME=a>y<FONT", "Missing > at <FONT", true},
      {"<FONT FOO=1>a", "Unknown field in FONT: FOO", false},
      {"<FONT size=2 face=Arial>a", "Unknown field in FONT: FACE", false},
      {"<FONT WEIGHT=heavy>a", "Unknown field in FONT WEIGHT=heavy", false},
      {"<FONT WEIGHT=BOLD, THIN>a", "Unknown field in FONT WEIGHT=BOLD, THIN", false},
  };
  for (const auto &c : cases) {
    Scene s;
    try {
      DrawRichText(s.canvas, 0, 0, c.text);
      ADD_FAILURE() << c.text << " raised nothing";
    } catch (const HtmlParserException &e) {
      EXPECT_TRUE(c.parser) << c.text;
      EXPECT_EQ(e.Message(), c.message);
    } catch (const rtl::Exception &e) {
      EXPECT_FALSE(c.parser) << c.text;
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(RichTextColors, NamesNumbersAndConstants) {
  struct Case {
    const char *text;
    TColor color;
  } cases[] = {
      {"black", clBlack}, {" Red ", clRed},         {"BLUE", clBlue},       {"yellow", clYellow},
      {"White", clWhite}, {"green", clGreen},       {"lime", clLime},       {"#FF8000", RGBColor(255, 128, 0)},
      {"clNavy", clNavy}, {"CLBTNFACE", clBtnFace}, {"clInfoBk", clInfoBk}, {"$00FF00", 0x00FF00},
      {"255", 255},
  };
  for (const auto &c : cases)
    EXPECT_EQ(ParseColorName(c.text), c.color) << c.text;
  for (const char *bad : {"nonsense", "#12", "#GG0000", ""})
    EXPECT_THROW(ParseColorName(bad), rtl::EConvertError) << bad;
}

TEST(RichTextTokens, RunsAndTags) {
  std::string text = "ab<B>c>d<";
  EXPECT_EQ(NextRichTextToken(text), "ab");
  EXPECT_EQ(NextRichTextToken(text), "<B>");
  EXPECT_EQ(NextRichTextToken(text), "c>d");
  EXPECT_THROW(NextRichTextToken(text), HtmlParserException);
  EXPECT_EQ(text, "<");
}

} // namespace
