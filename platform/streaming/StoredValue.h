// The typed, ordered tree that a stored definition is made of, and the
// errors that reading or writing a definition raises. See Streaming.h for
// the format and the whole picture.
#pragma once

#include "platform/rtl/Exceptions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace streaming {

// A definition that cannot be read or written. Line() is the line of the
// definition text the fault was found at, 0 when there is no text (a tree
// built in memory); Message() then starts with "Line N: ".
class EDefinitionError : public rtl::Exception {
public:
  explicit EDefinitionError(const std::string &detail, int line = 0);

  int Line() const noexcept { return line_; }
  // The message without its line prefix.
  const std::string &Detail() const noexcept { return detail_; }
  // Gives an error raised without a line the line it belongs to.
  void AttachLine(int line);

private:
  std::string detail_;
  int line_ = 0;
};

// A binary block ends before its content says it does, or holds a value
// its reader refuses.
class EReadError : public EDefinitionError {
public:
  using EDefinitionError::EDefinitionError;
};

// An object holds something that cannot be stored (NaN, a reference to an
// unnamed component, a set bit without a name).
class EWriteError : public EDefinitionError {
public:
  using EDefinitionError::EDefinitionError;
};

enum class TValueKind {
  vkNil,       // nil
  vkInteger,   // 42, -7, 0xF5A7FC
  vkFloat,     // 0.5, -0.0, 1e+300, inf, -inf
  vkBoolean,   // true, false
  vkString,    // "UTF-8 text"
  vkIdent,     // psRectangle, clWhite
  vkReference, // @Series1
  vkSet,       // [fsBold, fsItalic]
  vkList,      // (1, 2, 3)
  vkRecord,    // { X0 = 1.5 } or TBlurFilter { Amount = 3 }
  vkBinary,    // <00 03 00 00 00>
  vkObject,    // TChart Chart1 { ... }: a component, only as a member
};

const char *KindName(TValueKind kind) noexcept;

struct TMember;

// One value of the tree. Which fields hold it depends on Kind; the checked
// accessors raise EDefinitionError (with Line) when the kind is not the one
// a property expects, so property readers need no checks of their own.
class TValue {
public:
  TValueKind Kind = TValueKind::vkNil;
  int Line = 0;
  int64_t Int = 0;
  bool Hex = false; // an integer written in hexadecimal (colours)
  double Float = 0.0;
  bool Bool = false;
  std::string Text;             // string, identifier, reference, class of a record or object
  std::string Name;             // component name of an object
  std::vector<TValue> Items;    // set (identifiers) and list elements
  std::vector<TMember> Members; // record and object members, in file order
  std::vector<uint8_t> Bytes;   // binary block

  // Out of line, where TMember is complete.
  TValue();
  TValue(const TValue &);
  TValue(TValue &&) noexcept;
  TValue &operator=(const TValue &);
  TValue &operator=(TValue &&) noexcept;
  ~TValue();

  static TValue MakeNil();
  static TValue MakeInteger(int64_t v, bool hex = false);
  static TValue MakeFloat(double v);
  static TValue MakeBoolean(bool v);
  static TValue MakeString(std::string v);
  static TValue MakeIdent(std::string v);
  static TValue MakeReference(std::string name);
  static TValue MakeSet(const std::vector<std::string> &idents);
  static TValue MakeList(std::vector<TValue> items = {});
  static TValue MakeRecord(std::string className = {});
  static TValue MakeBinary(std::vector<uint8_t> bytes);
  static TValue MakeObject(std::string className, std::string name);
  static TValue MakeStrings(const std::vector<std::string> &texts);
  static TValue MakeIntegers(const std::vector<int32_t> &values);

  bool IsNil() const noexcept { return Kind == TValueKind::vkNil; }

  int64_t AsInteger() const;
  int32_t AsInt32() const; // range checked
  double AsFloat() const;  // an integer is accepted when the double holds it exactly
  bool AsBoolean() const;
  const std::string &AsString() const;
  const std::string &AsIdent() const;
  const std::string &AsReference() const;
  const std::vector<uint8_t> &AsBinary() const;
  const std::vector<TValue> &AsList() const;
  std::vector<std::string> AsSet() const;
  std::vector<std::string> AsStrings() const; // a list of strings
  std::vector<int32_t> AsInt32List() const;   // a list of integers
  const TValue &AsRecord() const;             // checks the kind, returns itself

  // Adds a property member (records and objects).
  TValue &Add(std::string path, TValue value);

  // Raises EDefinitionError at this value's line.
  [[noreturn]] void Fail(const std::string &detail) const;
  [[noreturn]] void FailKind(const char *expected) const;
};

// A member of a record or object: a property (Path = value, Path may be
// dotted) or, with an empty Path, a child component (Value.Kind vkObject).
struct TMember {
  std::string Path;
  TValue Value;
  int Line = 0;

  bool IsChild() const noexcept { return Path.empty(); }
};

// Structural equality; doubles compare by their bits, so -0.0 differs from
// 0.0. Lines are not compared.
bool operator==(const TValue &a, const TValue &b);
bool operator==(const TMember &a, const TMember &b);

} // namespace streaming
