#include "platform/streaming/StoredValue.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace streaming {

EDefinitionError::EDefinitionError(const std::string &detail, int line)
    : rtl::Exception(line > 0 ? "Line " + std::to_string(line) + ": " + detail : detail), detail_(detail), line_(line) {
}

void EDefinitionError::AttachLine(int line) {
  if (line_ > 0 || line <= 0) return;
  line_ = line;
  SetMessage("Line " + std::to_string(line) + ": " + detail_);
}

const char *KindName(TValueKind kind) noexcept {
  switch (kind) {
  case TValueKind::vkNil:
    return "nil";
  case TValueKind::vkInteger:
    return "an integer";
  case TValueKind::vkFloat:
    return "a number";
  case TValueKind::vkBoolean:
    return "a boolean";
  case TValueKind::vkString:
    return "a string";
  case TValueKind::vkIdent:
    return "an identifier";
  case TValueKind::vkReference:
    return "a reference";
  case TValueKind::vkSet:
    return "a set";
  case TValueKind::vkList:
    return "a list";
  case TValueKind::vkRecord:
    return "a record";
  case TValueKind::vkBinary:
    return "a binary block";
  case TValueKind::vkObject:
    return "a component";
  }
  return "a value";
}

TValue::TValue() = default;
TValue::TValue(const TValue &) = default;
TValue::TValue(TValue &&) noexcept = default;
TValue &TValue::operator=(const TValue &) = default;
TValue &TValue::operator=(TValue &&) noexcept = default;
TValue::~TValue() = default;

TValue TValue::MakeNil() { return TValue{}; }

TValue TValue::MakeInteger(int64_t v, bool hex) {
  TValue r;
  r.Kind = TValueKind::vkInteger;
  r.Int = v;
  r.Hex = hex;
  return r;
}

TValue TValue::MakeFloat(double v) {
  TValue r;
  r.Kind = TValueKind::vkFloat;
  r.Float = v;
  return r;
}

TValue TValue::MakeBoolean(bool v) {
  TValue r;
  r.Kind = TValueKind::vkBoolean;
  r.Bool = v;
  return r;
}

TValue TValue::MakeString(std::string v) {
  TValue r;
  r.Kind = TValueKind::vkString;
  r.Text = std::move(v);
  return r;
}

TValue TValue::MakeIdent(std::string v) {
  TValue r;
  r.Kind = TValueKind::vkIdent;
  r.Text = std::move(v);
  return r;
}

TValue TValue::MakeReference(std::string name) {
  TValue r;
  r.Kind = TValueKind::vkReference;
  r.Text = std::move(name);
  return r;
}

TValue TValue::MakeSet(const std::vector<std::string> &idents) {
  TValue r;
  r.Kind = TValueKind::vkSet;
  for (const auto &id : idents)
    r.Items.push_back(MakeIdent(id));
  return r;
}

TValue TValue::MakeList(std::vector<TValue> items) {
  TValue r;
  r.Kind = TValueKind::vkList;
  r.Items = std::move(items);
  return r;
}

TValue TValue::MakeRecord(std::string className) {
  TValue r;
  r.Kind = TValueKind::vkRecord;
  r.Text = std::move(className);
  return r;
}

TValue TValue::MakeBinary(std::vector<uint8_t> bytes) {
  TValue r;
  r.Kind = TValueKind::vkBinary;
  r.Bytes = std::move(bytes);
  return r;
}

TValue TValue::MakeObject(std::string className, std::string name) {
  TValue r;
  r.Kind = TValueKind::vkObject;
  r.Text = std::move(className);
  r.Name = std::move(name);
  return r;
}

TValue TValue::MakeStrings(const std::vector<std::string> &texts) {
  TValue r = MakeList();
  for (const auto &t : texts)
    r.Items.push_back(MakeString(t));
  return r;
}

TValue TValue::MakeIntegers(const std::vector<int32_t> &values) {
  TValue r = MakeList();
  for (int32_t v : values)
    r.Items.push_back(MakeInteger(v));
  return r;
}

void TValue::Fail(const std::string &detail) const { throw EDefinitionError(detail, Line); }

void TValue::FailKind(const char *expected) const {
  Fail(std::string("expected ") + expected + ", found " + KindName(Kind));
}

int64_t TValue::AsInteger() const {
  if (Kind != TValueKind::vkInteger) FailKind("an integer");
  return Int;
}

int32_t TValue::AsInt32() const {
  int64_t v = AsInteger();
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    Fail("integer " + std::to_string(v) + " is out of range");
  return static_cast<int32_t>(v);
}

double TValue::AsFloat() const {
  if (Kind == TValueKind::vkFloat) return Float;
  if (Kind == TValueKind::vkInteger) {
    // Integers beyond 2^53 would silently change value.
    constexpr int64_t kExact = int64_t{1} << 53;
    if (Int > kExact || Int < -kExact) Fail("integer " + std::to_string(Int) + " has no exact double");
    return static_cast<double>(Int);
  }
  FailKind("a number");
}

bool TValue::AsBoolean() const {
  if (Kind != TValueKind::vkBoolean) FailKind("a boolean");
  return Bool;
}

const std::string &TValue::AsString() const {
  if (Kind != TValueKind::vkString) FailKind("a string");
  return Text;
}

const std::string &TValue::AsIdent() const {
  if (Kind != TValueKind::vkIdent) FailKind("an identifier");
  return Text;
}

const std::string &TValue::AsReference() const {
  if (Kind != TValueKind::vkReference) FailKind("a reference");
  return Text;
}

const std::vector<uint8_t> &TValue::AsBinary() const {
  if (Kind != TValueKind::vkBinary) FailKind("a binary block");
  return Bytes;
}

const std::vector<TValue> &TValue::AsList() const {
  if (Kind != TValueKind::vkList) FailKind("a list");
  return Items;
}

std::vector<std::string> TValue::AsSet() const {
  if (Kind != TValueKind::vkSet) FailKind("a set");
  std::vector<std::string> r;
  for (const auto &v : Items)
    r.push_back(v.AsIdent());
  return r;
}

std::vector<std::string> TValue::AsStrings() const {
  std::vector<std::string> r;
  for (const auto &v : AsList())
    r.push_back(v.AsString());
  return r;
}

std::vector<int32_t> TValue::AsInt32List() const {
  std::vector<int32_t> r;
  for (const auto &v : AsList())
    r.push_back(v.AsInt32());
  return r;
}

const TValue &TValue::AsRecord() const {
  if (Kind != TValueKind::vkRecord) FailKind("a record");
  return *this;
}

TValue &TValue::Add(std::string path, TValue value) {
  int line = value.Line;
  Members.push_back(TMember{std::move(path), std::move(value), line});
  return Members.back().Value;
}

bool operator==(const TValue &a, const TValue &b) {
  if (a.Kind != b.Kind) return false;
  switch (a.Kind) {
  case TValueKind::vkNil:
    return true;
  case TValueKind::vkInteger:
    return a.Int == b.Int && a.Hex == b.Hex;
  case TValueKind::vkFloat:
    return std::memcmp(&a.Float, &b.Float, sizeof(double)) == 0;
  case TValueKind::vkBoolean:
    return a.Bool == b.Bool;
  case TValueKind::vkString:
  case TValueKind::vkIdent:
  case TValueKind::vkReference:
    return a.Text == b.Text;
  case TValueKind::vkSet:
  case TValueKind::vkList:
    return a.Items == b.Items;
  case TValueKind::vkRecord:
    return a.Text == b.Text && a.Members == b.Members;
  case TValueKind::vkBinary:
    return a.Bytes == b.Bytes;
  case TValueKind::vkObject:
    return a.Text == b.Text && a.Name == b.Name && a.Members == b.Members;
  }
  return false;
}

bool operator==(const TMember &a, const TMember &b) { return a.Path == b.Path && a.Value == b.Value; }

} // namespace streaming
