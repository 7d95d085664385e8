#include "chart/foundation/UloRichText.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <vector>

#include "chart/foundation/UloCanvas.h"
#include "platform/rtl/Conversions.h"
#include "platform/rtl/Numbers.h"
#include "platform/streaming/Persistent.h"

namespace {

// Sizes outside this range draw nothing readable, and repeated relative
// sizes must not overflow.
constexpr int kMinFontSize = 1;
constexpr int kMaxFontSize = 1000;
constexpr int kPlaceholderSize = 40;

std::string Upper(std::string_view s) {
  std::string r(s);
  for (char &c : r)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
    s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
    s.remove_suffix(1);
  return s;
}

std::string_view Unquote(std::string_view s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

struct TAttribute {
  std::string Name; // upper case
  std::string Value;
};

// name=value pairs, as many as there are "=": a value runs to the last
// space before the next "=", so values may hold spaces ("Courier New").
std::vector<TAttribute> SplitAttributes(std::string_view text) {
  std::vector<TAttribute> pairs;
  size_t start = 0;
  size_t eq = text.find('=');
  while (eq != std::string_view::npos) {
    const size_t next = text.find('=', eq + 1);
    size_t end = text.size();
    size_t following = text.size();
    if (next != std::string_view::npos) {
      const size_t space = text.rfind(' ', next);
      end = space != std::string_view::npos && space > eq ? space : eq + 1;
      following = end;
    }
    pairs.push_back(
        {Upper(Trim(text.substr(start, eq - start))), std::string(Trim(text.substr(eq + 1, end - eq - 1)))});
    start = following;
    eq = next;
  }
  return pairs;
}

TFontStyles WeightStyles(const std::string &value) {
  const std::string upper = Upper(value);
  TFontStyles styles;
  // The font stack writes a font's styles as a comma-separated list, so a
  // popped bold italic font reads back as "BOLD, ITALIC".
  size_t start = 0;
  for (;;) {
    const size_t comma = upper.find(',', start);
    const std::string_view word =
        Trim(std::string_view(upper).substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (word == "BOLD")
      styles = styles | TFontStyle::fsBold;
    else if (word == "ITALIC")
      styles = styles | TFontStyle::fsItalic;
    else if (word == "UNDERLINE")
      styles = styles | TFontStyle::fsUnderline;
    else if (word == "STRIKE")
      styles = styles | TFontStyle::fsStrikeOut;
    else if (word != "NORMAL")
      throw rtl::Exception("Unknown field in FONT WEIGHT=" + value);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return styles;
}

std::string StyleWords(TFontStyles style) {
  std::string words;
  auto add = [&words](const char *w) {
    if (!words.empty()) words += ", ";
    words += w;
  };
  if (style.Contains(TFontStyle::fsBold)) add("BOLD");
  if (style.Contains(TFontStyle::fsItalic)) add("ITALIC");
  if (style.Contains(TFontStyle::fsUnderline)) add("UNDERLINE");
  if (style.Contains(TFontStyle::fsStrikeOut)) add("STRIKE");
  return words.empty() ? "NORMAL" : words;
}

int LimitSize(int64_t size) { return static_cast<int>(std::clamp<int64_t>(size, kMinFontSize, kMaxFontSize)); }

int ToPixel(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -gdi::kMaxPixel, gdi::kMaxPixel)); }

// The layout of one text.
class TRichLayout {
public:
  TRichLayout(TUloCanvas &canvas, int x, int y, bool draw)
      : canvas_(canvas), x_(x), y_(y), left_(x), top_(y), draw_(draw) {
    lineHeight_ = canvas_.StandardTextHeight();
  }

  void Run(std::string text) {
    while (!text.empty())
      ApplyToken(NextRichTextToken(text));
  }

  gdi::Size Result() const {
    return gdi::Size{ToPixel(std::max<int64_t>(0, width_)), ToPixel(std::max<int64_t>(0, height_))};
  }

private:
  TFont &Font() { return canvas_.Font(); }
  int Sth() { return canvas_.StandardTextHeight(); }

  void SetSize(int64_t size) { Font().SetSize(LimitSize(size)); }

  void PushFont() {
    TFont &f = Font();
    fonts_.push_back("<FONT size=" + rtl::IntToStr(f.Size()) + " name=" + f.Name() +
                     " color=" + rtl::IntToStr(f.Color()) + " weight=" + StyleWords(f.Style()) + ">");
    opened_.push_back(true);
  }

  void PopFont() {
    if (fonts_.empty()) return;
    const std::string entry = std::move(fonts_.back());
    fonts_.pop_back();
    ApplyFontTag(entry);
  }

  // A closing tag that names a font change ends the latest one still open,
  // so that a later "</>" reaches the tag opened before it.
  void CloseFont() {
    PopFont();
    const auto latest = std::find(opened_.rbegin(), opened_.rend(), true);
    if (latest != opened_.rend()) opened_.erase(std::next(latest).base());
  }

  void ApplyFontTag(std::string_view tag) {
    // Between "<FONT " and the closing ">".
    if (tag.size() <= 6) return;
    ApplyFontTagAttributes(Font(), tag.substr(6, tag.size() - 7));
  }

  void AddStyle(TFontStyle style, const std::string &tag) {
    Font().SetStyle(Font().Style() | style);
    tags_.push_back(tag);
    opened_.push_back(false);
  }

  void RemoveStyle(TFontStyle style) { Font().SetStyle(Font().Style().Without(style)); }

  void ApplyToken(std::string token) {
    if (StartsWith(token, "\r\n")) {
      y_ += Sth();
      x_ = left_;
      lineHeight_ = 0;
      token.erase(0, 2);
      if (token.empty()) return;
    }
    const std::string tag = Upper(token);
    if (tag == "<BR>" || tag == "<P>") {
      x_ = left_;
      lineHeight_ = 0;
    } else if (tag == "<BIG>") {
      PushFont();
      SetSize(int64_t{Font().Size()} + 2);
    } else if (tag == "<SMALL>") {
      PushFont();
      SetSize(int64_t{Font().Size()} - 2);
    } else if (tag == "</SUB>") {
      CloseFont();
      y_ -= Sth();
    } else if (tag == "<SUB>") {
      PushFont();
      SetSize(Font().Size() / 2);
      y_ += Sth();
    } else if (tag == "</SUPER>") {
      CloseFont();
      y_ += Sth() / 2;
    } else if (tag == "<SUPER>") {
      PushFont();
      SetSize(Font().Size() / 2);
      y_ -= Sth() / 2;
    } else if (tag.size() == 4 && StartsWith(tag, "<H") && tag[2] >= '1' && tag[2] <= '6' && tag[3] == '>') {
      static constexpr int kHeadingSizes[] = {48, 36, 24, 18, 12, 8};
      PushFont();
      SetSize(kHeadingSizes[tag[2] - '1']);
    } else if (tag == "<PRE>") {
      PushFont();
      ApplyFontTag("<FONT NAME=\"COURIER NEW\">");
    } else if (tag == "<CENTER>") {
      centring_ = true;
    } else if (tag == "<B>" || tag == "<BOLD>" || tag == "<STRONG>") {
      AddStyle(TFontStyle::fsBold, tag);
    } else if (tag == "<I>") {
      AddStyle(TFontStyle::fsItalic, tag);
    } else if (tag == "<U>") {
      AddStyle(TFontStyle::fsUnderline, tag);
    } else if (tag == "<STRIKE>") {
      AddStyle(TFontStyle::fsStrikeOut, tag);
    } else if (StartsWith(tag, "<IMG ")) {
      Image(token);
    } else if (tag == "</B>" || tag == "</BOLD>" || tag == "</STRONG>") {
      RemoveStyle(TFontStyle::fsBold);
    } else if (tag == "</I>") {
      RemoveStyle(TFontStyle::fsItalic);
    } else if (tag == "</U>") {
      RemoveStyle(TFontStyle::fsUnderline);
    } else if (tag == "</STRIKE>") {
      RemoveStyle(TFontStyle::fsStrikeOut);
    } else if (StartsWith(tag, "</FONT") || tag == "</PRE>") {
      CloseFont();
    } else if (tag == "</CENTER>") {
      centring_ = false;
    } else if (StartsWith(tag, "<FONT ")) {
      PushFont();
      ApplyFontTag(token);
    } else if (tag == "</>") {
      CloseLatest();
    } else if (tag == "<HR>") {
      x_ = left_;
      if (draw_) {
        canvas_.Pen().SetStyle(TPenStyle::psSolid);
        canvas_.Pen().SetWidth(1);
        canvas_.Pen().SetColor(0x808080);
        canvas_.HorizontalLine(ToPixel(x_), ToPixel(x_ + 100), ToPixel(y_));
      }
      y_ += Sth();
    } else {
      TextRun(std::move(token));
    }
  }

  // "</>" closes the latest opening tag still open: a font change when that
  // tag changed the font, else the latest style tag.
  void CloseLatest() {
    if (opened_.empty()) return;
    const bool font = opened_.back();
    opened_.pop_back();
    if (font) {
      PopFont();
      return;
    }
    if (tags_.empty()) return;
    const std::string opened = std::move(tags_.back());
    tags_.pop_back();
    ApplyToken("</" + opened.substr(1));
  }

  void TextRun(std::string run) {
    run = DecodeEntities(std::move(run));
    const bool lineEnd = run.size() >= 2 && run.compare(run.size() - 2, 2, "\r\n") == 0;
    if (lineEnd) run.resize(run.size() - 2);
    if (!run.empty()) {
      const int w = canvas_.MeasureTextWidth(run);
      if (centring_) x_ = (canvas_.Bounds().Left + canvas_.Bounds().Right) / 2 - w / 2;
      const int h = canvas_.MeasureTextHeight(run);
      if (lineHeight_ == 0) {
        lineHeight_ = Sth();
        y_ += lineHeight_;
      } else if (h < lineHeight_) {
        y_ += lineHeight_ - h - 1;
      }
      if (draw_) canvas_.TextOut(ToPixel(x_), ToPixel(y_), run);
      x_ += w;
      if (h > lineHeight_) lineHeight_ = h;
      // A line is at least as high as its line height, even where a smaller
      // run ends above its bottom.
      height_ = std::max<int64_t>(height_, lineHeight_);
      Reach(x_, y_ + h);
    }
    if (lineEnd) {
      lineHeight_ = 0;
      x_ = left_;
    }
  }

  // The size grows to the farthest right and the lowest bottom reached.
  void Reach(int64_t right, int64_t bottom) {
    width_ = std::max(width_, right);
    height_ = std::max(height_, bottom - top_);
  }

  void Image(const std::string &token) {
    std::string source;
    int64_t width = kPlaceholderSize, height = kPlaceholderSize;
    // Between "<IMG " and the closing ">".
    for (const auto &a : SplitAttributes(std::string_view(token).substr(5, token.size() - 6))) {
      if (a.Name == "SRC")
        source = std::string(Unquote(a.Value));
      else if (a.Name == "WIDTH")
        width = std::clamp(rtl::StrToInt(std::string(Unquote(a.Value))), 0, 10000);
      else if (a.Name == "HEIGHT")
        height = std::clamp(rtl::StrToInt(std::string(Unquote(a.Value))), 0, 10000);
    }
    // No images are loaded from sources: a placeholder stands in line, and
    // the text goes on to its right.
    if (draw_) {
      canvas_.Pen().SetStyle(TPenStyle::psSolid);
      canvas_.Pen().SetColor(clRed);
      canvas_.Pen().SetWidth(1);
      canvas_.Brush().SetStyle(TBrushStyle::bsSolid);
      canvas_.Brush().SetColor(clWhite);
      const int l = ToPixel(x_), t = ToPixel(y_), r = ToPixel(x_ + width), b = ToPixel(y_ + height);
      canvas_.Rectangle(l, t, r, b);
      canvas_.DrawLine(l, t, r, b);
      canvas_.DrawLine(l, b, r, t);
    }
    x_ += width;
    Reach(x_, y_ + height);
  }

  TUloCanvas &canvas_;
  int64_t x_, y_;
  const int64_t left_, top_;
  const bool draw_;
  int lineHeight_ = 0;
  bool centring_ = false;
  // For each opening tag still open, oldest first: whether it changed the
  // font (else it is on the tag stack).
  std::vector<bool> opened_;
  int64_t width_ = 0, height_ = 0;
  std::vector<std::string> fonts_;
  std::vector<std::string> tags_;
};

} // namespace

std::string NextRichTextToken(std::string &text) {
  const size_t open = text.find('<');
  std::string token;
  if (open != 0) {
    token = text.substr(0, open);
    text.erase(0, token.size());
    return token;
  }
  const size_t close = text.find('>');
  if (close == std::string::npos) throw HtmlParserException("Missing > at " + text);
  token = text.substr(0, close + 1);
  text.erase(0, close + 1);
  return token;
}

void ApplyFontTagAttributes(TFont &font, std::string_view attributes) {
  for (const auto &a : SplitAttributes(attributes)) {
    if (a.Name == "NAME" || a.Name == "FAMILY") {
      font.SetName(std::string(Unquote(a.Value)));
    } else if (a.Name == "SIZE") {
      const std::string value(Unquote(a.Value));
      if (!value.empty() && (value[0] == '+' || value[0] == '-'))
        font.SetSize(LimitSize(int64_t{font.Size()} + rtl::StrToInt(value)));
      else
        font.SetSize(LimitSize(rtl::StrToInt(value)));
    } else if (a.Name == "COLOR") {
      font.SetColor(ParseColorName(Unquote(a.Value)));
    } else if (a.Name == "WEIGHT") {
      font.SetStyle(WeightStyles(a.Value));
    } else {
      throw rtl::Exception("Unknown field in FONT: " + a.Name);
    }
  }
}

TColor ParseColorName(std::string_view text) {
  const std::string name = Upper(Trim(text));
  static constexpr std::pair<std::string_view, TColor> kNamed[] = {
      {"BLACK", 0x000000}, {"RED", 0x0000FF},   {"BLUE", 0xFF0000}, {"YELLOW", 0x00FFFF},
      {"WHITE", 0xFFFFFF}, {"GREEN", 0x008000}, {"LIME", 0x00FF00}};
  for (const auto &[n, c] : kNamed)
    if (name == n) return c;
  if (StartsWith(name, "#")) {
    auto channel = [&name](size_t at) { return rtl::StrToInt("$" + name.substr(std::min(at, name.size()), 2)); };
    if (name.size() != 7) throw rtl::EConvertError("'" + name + "' is not a valid colour");
    return RGBColor(channel(1), channel(3), channel(5));
  }
  // Colour constant names, as definitions spell them, in any case.
  static constexpr TColor kNamedColors[] = {clBlack,      clMaroon,  clGreen,  clOlive,  clNavy, clPurple,
                                            clTeal,       clGray,    clSilver, clRed,    clLime, clYellow,
                                            clBlue,       clFuchsia, clAqua,   clWhite,  clNone, clDefault,
                                            clMoneyGreen, clSkyBlue, clCream,  clMedGray};
  auto matches = [&name](TColor c) {
    const auto ident = streaming::ColorToIdent(c);
    return ident && Upper(*ident) == name;
  };
  for (TColor c : kNamedColors)
    if (matches(c)) return c;
  for (int i = 0; i <= 24; ++i)
    if (matches(SystemColor(i))) return SystemColor(i);
  return rtl::StrToInt(name);
}

std::string DecodeEntities(std::string text) {
  static constexpr std::pair<std::string_view, std::string_view> kEntities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}, {"&quot;", "\""}};
  for (const auto &[entity, character] : kEntities) {
    size_t at = text.find(entity);
    while (at != std::string::npos) {
      text.replace(at, entity.size(), character);
      at = text.find(entity, at + character.size());
    }
  }
  return text;
}

void LayoutRichText(TUloCanvas &canvas, int x, int y, gdi::Size &size, bool draw, const std::string &text) {
  TRichLayout layout(canvas, x, y, draw);
  layout.Run(text);
  size = layout.Result();
}

void MeasureRichText(TUloCanvas &canvas, const std::string &text, gdi::Size &size) {
  LayoutRichText(canvas, 0, 0, size, false, text);
}

void DrawRichText(TUloCanvas &canvas, int x, int y, const std::string &text) {
  gdi::Size size;
  LayoutRichText(canvas, x, y, size, true, text);
}
