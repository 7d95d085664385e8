#include "platform/streaming/DefinitionText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace streaming {

namespace {

// ---- Lexer ------------------------------------------------------------

enum class TTok { End, Ident, Integer, Float, String, Binary, Punct };

struct TToken {
  TTok Kind = TTok::End;
  int Line = 1;
  char Punct = 0;
  std::string Text; // identifier, or decoded string
  int64_t Int = 0;
  bool Hex = false;
  double Float = 0.0;
  std::vector<uint8_t> Bytes;
};

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || IsDigit(c); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Length of the valid UTF-8 sequence starting at s[i], or 0.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
  auto b = static_cast<unsigned char>(s[i]);
  size_t n;
  uint32_t cp;
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
    cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    cp = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    cp = b & 0x07;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

class TLexer {
public:
  explicit TLexer(std::string_view text) : s_(text) {
    if (s_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
  }

  TToken Next() {
    SkipSpace();
    TToken t;
    t.Line = line_;
    if (pos_ >= s_.size()) return t;
    char c = s_[pos_];
    if (IsIdentStart(c)) {
      size_t start = pos_;
      while (pos_ < s_.size() && IsIdentChar(s_[pos_]))
        ++pos_;
      t.Kind = TTok::Ident;
      t.Text = std::string(s_.substr(start, pos_ - start));
      return t;
    }
    if (IsDigit(c) || (c == '-' && pos_ + 1 < s_.size() && IsDigit(s_[pos_ + 1]))) return Number(t);
    if (c == '"') return String(t);
    if (c == '<') return Binary(t);
    if (std::string_view("{}()[]=,.@-").find(c) != std::string_view::npos) {
      ++pos_;
      t.Kind = TTok::Punct;
      t.Punct = c;
      return t;
    }
    Fail("unexpected character " + Describe(c));
  }

private:
  std::string_view s_;
  size_t pos_ = 0;
  int line_ = 1;

  [[noreturn]] void Fail(const std::string &detail) const { throw EDefinitionError(detail, line_); }

  static std::string Describe(char c) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 0x21 && b < 0x7F) return std::string("'") + c + "'";
    static const char *kHex = "0123456789ABCDEF";
    return std::string("byte 0x") + kHex[b >> 4] + kHex[b & 15];
  }

  void SkipSpace() {
    while (pos_ < s_.size()) {
      char c = s_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (c == '#') {
        while (pos_ < s_.size() && s_[pos_] != '\n')
          ++pos_;
      } else {
        break;
      }
    }
  }

  TToken Number(TToken &t) {
    size_t start = pos_;
    bool negative = s_[pos_] == '-';
    if (negative) ++pos_;
    if (s_[pos_] == '0' && pos_ + 1 < s_.size() && (s_[pos_ + 1] == 'x' || s_[pos_ + 1] == 'X')) {
      pos_ += 2;
      size_t digits = pos_;
      uint64_t v = 0;
      while (pos_ < s_.size() && HexDigit(s_[pos_]) >= 0) {
        if (v > (std::numeric_limits<uint64_t>::max() >> 4)) Fail("integer out of range");
        v = (v << 4) | static_cast<uint64_t>(HexDigit(s_[pos_]));
        ++pos_;
      }
      if (pos_ == digits) Fail("hexadecimal integer without digits");
      CheckNumberEnd();
      // Up to 0xFFFFFFFFFFFFFFFF hex literals keep their bits (colours and
      // masks are written that way); a minus sign needs a magnitude that fits.
      t.Kind = TTok::Integer;
      t.Hex = true;
      if (negative) {
        if (v > uint64_t{1} << 63) Fail("integer out of range");
        t.Int = static_cast<int64_t>(0 - v);
      } else {
        if (v > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) Fail("integer out of range");
        t.Int = static_cast<int64_t>(v);
      }
      return t;
    }
    while (pos_ < s_.size() && IsDigit(s_[pos_]))
      ++pos_;
    bool isFloat = false;
    if (pos_ < s_.size() && s_[pos_] == '.') {
      isFloat = true;
      ++pos_;
      size_t d = pos_;
      while (pos_ < s_.size() && IsDigit(s_[pos_]))
        ++pos_;
      if (pos_ == d) Fail("digits expected after '.'");
    }
    if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
      isFloat = true;
      ++pos_;
      if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
      size_t d = pos_;
      while (pos_ < s_.size() && IsDigit(s_[pos_]))
        ++pos_;
      if (pos_ == d) Fail("digits expected in the exponent");
    }
    CheckNumberEnd();
    const char *first = s_.data() + start;
    const char *last = s_.data() + pos_;
    if (isFloat) {
      double v = 0;
      auto r = std::from_chars(first, last, v);
      if (r.ec == std::errc::result_out_of_range) Fail("number " + std::string(first, last) + " is out of range");
      if (r.ec != std::errc() || r.ptr != last) Fail("malformed number " + std::string(first, last));
      t.Kind = TTok::Float;
      t.Float = v;
    } else {
      int64_t v = 0;
      auto r = std::from_chars(first, last, v);
      if (r.ec != std::errc() || r.ptr != last) Fail("integer " + std::string(first, last) + " is out of range");
      t.Kind = TTok::Integer;
      t.Int = v;
    }
    return t;
  }

  void CheckNumberEnd() {
    if (pos_ < s_.size() && (IsIdentChar(s_[pos_]) || s_[pos_] == '.')) Fail("malformed number");
  }

  TToken String(TToken &t) {
    ++pos_;
    t.Kind = TTok::String;
    for (;;) {
      if (pos_ >= s_.size() || s_[pos_] == '\n' || s_[pos_] == '\r') Fail("string not closed on its line");
      char c = s_[pos_];
      if (c == '"') {
        ++pos_;
        return t;
      }
      if (c == '\\') {
        if (pos_ + 1 >= s_.size()) Fail("string not closed on its line");
        char e = s_[pos_ + 1];
        pos_ += 2;
        switch (e) {
        case '"':
          t.Text += '"';
          break;
        case '\\':
          t.Text += '\\';
          break;
        case 'n':
          t.Text += '\n';
          break;
        case 'r':
          t.Text += '\r';
          break;
        case 't':
          t.Text += '\t';
          break;
        case 'x': {
          int hi = pos_ < s_.size() ? HexDigit(s_[pos_]) : -1;
          int lo = pos_ + 1 < s_.size() ? HexDigit(s_[pos_ + 1]) : -1;
          if (hi < 0 || lo < 0) Fail("\\x needs two hexadecimal digits");
          t.Text += static_cast<char>(hi * 16 + lo);
          pos_ += 2;
          break;
        }
        default:
          Fail("unknown escape \\" + Describe(e));
        }
        continue;
      }
      auto b = static_cast<unsigned char>(c);
      if (b < 0x20 || b == 0x7F) Fail("control character " + Describe(c) + " in a string; write it as \\x..");
      size_t n = Utf8SequenceLength(s_, pos_);
      if (n == 0) Fail("invalid UTF-8 in a string");
      t.Text.append(s_.substr(pos_, n));
      pos_ += n;
    }
  }

  TToken Binary(TToken &t) {
    ++pos_;
    t.Kind = TTok::Binary;
    int pending = -1;
    for (;;) {
      if (pos_ >= s_.size()) Fail("binary block not closed");
      char c = s_[pos_++];
      if (c == '>') break;
      if (c == '\n') {
        ++line_;
        continue;
      }
      if (c == ' ' || c == '\t' || c == '\r') continue;
      int d = HexDigit(c);
      if (d < 0) Fail("unexpected " + Describe(c) + " in a binary block");
      if (pending < 0) {
        pending = d;
      } else {
        t.Bytes.push_back(static_cast<uint8_t>(pending * 16 + d));
        pending = -1;
      }
    }
    if (pending >= 0) Fail("binary block has an odd number of hexadecimal digits");
    return t;
  }
};

// ---- Parser -----------------------------------------------------------

class TParser {
public:
  explicit TParser(std::string_view text) : lex_(text) { Advance(); }

  TValue Document() {
    if (cur_.Kind == TTok::End) Fail("the definition is empty");
    if (cur_.Kind != TTok::Ident) Fail("a definition starts with a class name, found " + Describe(cur_));
    TValue root = Object(1);
    if (cur_.Kind != TTok::End) Fail("unexpected " + Describe(cur_) + " after the end of the definition");
    return root;
  }

private:
  TLexer lex_;
  TToken cur_;
  TToken next_;
  bool hasNext_ = false;

  [[noreturn]] void Fail(const std::string &detail) const { throw EDefinitionError(detail, cur_.Line); }

  void Advance() {
    if (hasNext_) {
      cur_ = std::move(next_);
      hasNext_ = false;
    } else {
      cur_ = lex_.Next();
    }
  }

  const TToken &Peek() {
    if (!hasNext_) {
      next_ = lex_.Next();
      hasNext_ = true;
    }
    return next_;
  }

  bool IsPunct(char p) const { return cur_.Kind == TTok::Punct && cur_.Punct == p; }

  void Expect(char p, const std::string &what) {
    if (!IsPunct(p)) Fail(std::string("expected ") + what + ", found " + Describe(cur_));
    Advance();
  }

  static std::string Describe(const TToken &t) {
    switch (t.Kind) {
    case TTok::End:
      return "the end of the text";
    case TTok::Ident:
      return "\"" + t.Text + "\"";
    case TTok::Integer:
    case TTok::Float:
      return "a number";
    case TTok::String:
      return "a string";
    case TTok::Binary:
      return "a binary block";
    case TTok::Punct:
      return std::string("'") + t.Punct + "'";
    }
    return "?";
  }

  void CheckDepth(int depth) const {
    if (depth > kMaxNesting) Fail("nesting deeper than " + std::to_string(kMaxNesting) + " levels");
  }

  // Class [Name] { members }
  TValue Object(int depth) {
    CheckDepth(depth);
    TValue obj = TValue::MakeObject(cur_.Text, {});
    obj.Line = cur_.Line;
    Advance();
    if (cur_.Kind == TTok::Ident) {
      obj.Name = cur_.Text;
      Advance();
    }
    Expect('{', "'{' to open the component");
    Members(obj, true, depth);
    return obj;
  }

  void Members(TValue &owner, bool childrenAllowed, int depth) {
    for (;;) {
      if (IsPunct('}')) {
        Advance();
        return;
      }
      if (cur_.Kind == TTok::End)
        throw EDefinitionError(std::string("the text ends inside ") +
                                   (owner.Kind == TValueKind::vkObject ? "the component opened" : "the record opened") +
                                   " at line " + std::to_string(owner.Line) + "; '}' expected",
                               cur_.Line);
      if (cur_.Kind != TTok::Ident) Fail("expected a property name or '}', found " + Describe(cur_));
      const TToken &after = Peek();
      bool isChild = after.Kind == TTok::Ident || (after.Kind == TTok::Punct && after.Punct == '{');
      if (isChild) {
        if (!childrenAllowed) Fail("a record holds properties only, not the component \"" + cur_.Text + "\"");
        int line = cur_.Line;
        TValue child = Object(depth + 1);
        owner.Members.push_back(TMember{{}, std::move(child), line});
        continue;
      }
      int line = cur_.Line;
      std::string path = cur_.Text;
      Advance();
      while (IsPunct('.')) {
        Advance();
        if (cur_.Kind != TTok::Ident) Fail("expected a property name after '.'");
        path += '.';
        path += cur_.Text;
        Advance();
      }
      Expect('=', "'=' after the property name \"" + path + "\"");
      TValue v = Value(depth + 1);
      owner.Members.push_back(TMember{std::move(path), std::move(v), line});
    }
  }

  TValue Value(int depth) {
    CheckDepth(depth);
    int line = cur_.Line;
    TValue v;
    switch (cur_.Kind) {
    case TTok::End:
      Fail("the text ends where a value was expected");
    case TTok::Integer:
      v = TValue::MakeInteger(cur_.Int, cur_.Hex);
      Advance();
      break;
    case TTok::Float:
      v = TValue::MakeFloat(cur_.Float);
      Advance();
      break;
    case TTok::String:
      v = TValue::MakeString(std::move(cur_.Text));
      Advance();
      break;
    case TTok::Binary:
      v = TValue::MakeBinary(std::move(cur_.Bytes));
      Advance();
      break;
    case TTok::Ident: {
      std::string word = cur_.Text;
      Advance();
      if (IsPunct('{')) {
        Advance();
        v = TValue::MakeRecord(std::move(word));
        v.Line = line;
        Members(v, false, depth);
      } else if (word == "true" || word == "false") {
        v = TValue::MakeBoolean(word == "true");
      } else if (word == "nil") {
        v = TValue::MakeNil();
      } else if (word == "inf") {
        v = TValue::MakeFloat(std::numeric_limits<double>::infinity());
      } else {
        v = TValue::MakeIdent(std::move(word));
      }
      break;
    }
    case TTok::Punct:
      switch (cur_.Punct) {
      case '-':
        Advance();
        if (cur_.Kind != TTok::Ident || cur_.Text != "inf") Fail("expected a number after '-'");
        Advance();
        v = TValue::MakeFloat(-std::numeric_limits<double>::infinity());
        break;
      case '@':
        Advance();
        if (cur_.Kind != TTok::Ident) Fail("expected a component name after '@'");
        v = TValue::MakeReference(cur_.Text);
        Advance();
        break;
      case '[':
        Advance();
        v = TValue::MakeSet({});
        Sequence(v, ']', depth, true);
        break;
      case '(':
        Advance();
        v = TValue::MakeList();
        Sequence(v, ')', depth, false);
        break;
      case '{':
        Advance();
        v = TValue::MakeRecord();
        v.Line = line;
        Members(v, false, depth);
        break;
      default:
        Fail("expected a value, found " + Describe(cur_));
      }
      break;
    }
    v.Line = line;
    return v;
  }

  void Sequence(TValue &v, char close, int depth, bool identsOnly) {
    int open = cur_.Line;
    if (IsPunct(close)) {
      Advance();
      return;
    }
    for (;;) {
      if (cur_.Kind == TTok::End)
        throw EDefinitionError(std::string("the text ends inside the ") + (identsOnly ? "set" : "list") +
                                   " opened at line " + std::to_string(open) + "; '" + close + "' expected",
                               cur_.Line);
      if (identsOnly) {
        if (cur_.Kind != TTok::Ident) Fail("a set holds identifiers only, found " + Describe(cur_));
        TValue id = TValue::MakeIdent(cur_.Text);
        id.Line = cur_.Line;
        v.Items.push_back(std::move(id));
        Advance();
      } else {
        v.Items.push_back(Value(depth + 1));
      }
      if (IsPunct(close)) {
        Advance();
        return;
      }
      if (cur_.Kind == TTok::End) continue;
      Expect(',', std::string("',' or '") + close + "'");
    }
  }
};

// ---- Printer ----------------------------------------------------------

void AppendEscaped(std::string &out, const std::string &s) {
  static const char *kHex = "0123456789ABCDEF";
  out += '"';
  for (size_t i = 0; i < s.size();) {
    char c = s[i];
    auto b = static_cast<unsigned char>(c);
    switch (c) {
    case '"':
      out += "\\\"";
      break;
    case '\\':
      out += "\\\\";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\t':
      out += "\\t";
      break;
    default:
      if (b < 0x20 || b == 0x7F) {
        out += "\\x";
        out += kHex[b >> 4];
        out += kHex[b & 15];
      } else if (b >= 0x80) {
        size_t n = Utf8SequenceLength(s, i);
        if (n == 0) {
          // Bytes that are not UTF-8 keep their value through \x.
          out += "\\x";
          out += kHex[b >> 4];
          out += kHex[b & 15];
        } else {
          out.append(s, i, n);
          i += n;
          continue;
        }
      } else {
        out += c;
      }
    }
    ++i;
  }
  out += '"';
}

std::string FormatInteger(int64_t v, bool hex) {
  if (!hex) return std::to_string(v);
  uint64_t mag = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, mag, 16);
  std::string digits(buf, r.ptr);
  for (auto &ch : digits)
    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return (v < 0 ? "-0x" : "0x") + digits;
}

constexpr size_t kBytesPerLine = 32;
constexpr size_t kShortLine = 72;

bool IsScalar(const TValue &v) {
  switch (v.Kind) {
  case TValueKind::vkList:
    return v.Items.empty();
  case TValueKind::vkRecord:
  case TValueKind::vkObject:
    return v.Members.empty();
  case TValueKind::vkBinary:
    return v.Bytes.size() <= kBytesPerLine;
  default:
    return true;
  }
}

class TPrinter {
public:
  std::string Out;

  void Object(const TValue &obj, int indent) {
    Indent(indent);
    Out += obj.Text;
    if (!obj.Name.empty()) {
      Out += ' ';
      Out += obj.Name;
    }
    Out += " {\n";
    Members(obj, indent + 1);
    Indent(indent);
    Out += "}\n";
  }

  void Members(const TValue &owner, int indent) {
    for (const auto &m : owner.Members) {
      if (m.IsChild()) {
        if (m.Value.Kind != TValueKind::vkObject) throw EWriteError("a child member must be a component");
        Object(m.Value, indent);
        continue;
      }
      Indent(indent);
      Out += m.Path;
      Out += " = ";
      Value(m.Value, indent);
      Out += '\n';
    }
  }

  void Value(const TValue &v, int indent) {
    switch (v.Kind) {
    case TValueKind::vkNil:
      Out += "nil";
      return;
    case TValueKind::vkInteger:
      Out += FormatInteger(v.Int, v.Hex);
      return;
    case TValueKind::vkFloat:
      Out += FormatDouble(v.Float);
      return;
    case TValueKind::vkBoolean:
      Out += v.Bool ? "true" : "false";
      return;
    case TValueKind::vkString:
      AppendEscaped(Out, v.Text);
      return;
    case TValueKind::vkIdent:
      Out += v.Text;
      return;
    case TValueKind::vkReference:
      Out += '@';
      Out += v.Text;
      return;
    case TValueKind::vkSet:
      Out += '[';
      for (size_t i = 0; i < v.Items.size(); ++i) {
        if (i) Out += ", ";
        Out += v.Items[i].Text;
      }
      Out += ']';
      return;
    case TValueKind::vkList:
      List(v, indent);
      return;
    case TValueKind::vkRecord:
      if (!v.Text.empty()) {
        Out += v.Text;
        Out += ' ';
      }
      if (v.Members.empty()) {
        Out += "{}";
        return;
      }
      Out += "{\n";
      Members(v, indent + 1);
      Indent(indent);
      Out += '}';
      return;
    case TValueKind::vkBinary:
      Binary(v.Bytes, indent);
      return;
    case TValueKind::vkObject:
      throw EWriteError("a component cannot stand as a property value");
    }
  }

private:
  void Indent(int n) { Out.append(static_cast<size_t>(n) * 2, ' '); }

  void List(const TValue &v, int indent) {
    bool flat = true;
    for (const auto &e : v.Items)
      flat = flat && IsScalar(e);
    if (flat) {
      size_t mark = Out.size();
      Out += '(';
      for (size_t i = 0; i < v.Items.size(); ++i) {
        if (i) Out += ", ";
        Value(v.Items[i], indent);
      }
      Out += ')';
      if (Out.size() - mark <= kShortLine) return;
      Out.resize(mark);
    }
    Out += "(\n";
    for (size_t i = 0; i < v.Items.size(); ++i) {
      Indent(indent + 1);
      Value(v.Items[i], indent + 1);
      if (i + 1 < v.Items.size()) Out += ',';
      Out += '\n';
    }
    Indent(indent);
    Out += ')';
  }

  void Binary(const std::vector<uint8_t> &bytes, int indent) {
    static const char *kHex = "0123456789abcdef";
    Out += '<';
    bool multi = bytes.size() > kBytesPerLine;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (multi && i % kBytesPerLine == 0) {
        Out += '\n';
        Indent(indent + 1);
      }
      Out += kHex[bytes[i] >> 4];
      Out += kHex[bytes[i] & 15];
    }
    if (multi) {
      Out += '\n';
      Indent(indent);
    }
    Out += '>';
  }
};

} // namespace

TValue ParseDefinition(std::string_view text) { return TParser(text).Document(); }

std::string PrintDefinition(const TValue &object) {
  if (object.Kind != TValueKind::vkObject) throw EWriteError("a definition holds one component");
  TPrinter p;
  p.Object(object, 0);
  return std::move(p.Out);
}

std::string PrintValue(const TValue &value) {
  TPrinter p;
  if (value.Kind == TValueKind::vkObject)
    p.Object(value, 0);
  else
    p.Value(value, 0);
  return std::move(p.Out);
}

std::string FormatDouble(double v) {
  if (std::isnan(v)) throw EWriteError("NaN cannot be stored");
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, r.ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

} // namespace streaming
