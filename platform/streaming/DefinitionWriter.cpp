#include "platform/streaming/DefinitionWriter.h"

#include "platform/streaming/DefinitionText.h"

#include <cmath>

namespace streaming {

namespace {

bool IsIdentifier(std::string_view s) {
  if (s.empty()) return false;
  auto start = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  if (!start(s[0])) return false;
  for (char c : s)
    if (!start(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

// Words that read back as something other than an identifier.
bool IsReserved(std::string_view s) { return s == "true" || s == "false" || s == "nil" || s == "inf"; }

// Raises for anything the text cannot carry back exactly.
void Validate(const TValue &v, int depth) {
  if (depth > kMaxNesting) throw EWriteError("nesting deeper than " + std::to_string(kMaxNesting) + " levels");
  switch (v.Kind) {
  case TValueKind::vkFloat:
    if (std::isnan(v.Float)) throw EWriteError("NaN cannot be stored");
    break;
  case TValueKind::vkIdent:
    if (!IsIdentifier(v.Text) || IsReserved(v.Text)) throw EWriteError("\"" + v.Text + "\" is not an identifier");
    break;
  case TValueKind::vkReference:
    if (!IsIdentifier(v.Text)) throw EWriteError("\"" + v.Text + "\" is not a component name");
    break;
  case TValueKind::vkSet:
  case TValueKind::vkList:
    for (const auto &e : v.Items) {
      if (v.Kind == TValueKind::vkSet && e.Kind != TValueKind::vkIdent)
        throw EWriteError("a set holds identifiers only");
      Validate(e, depth + 1);
    }
    break;
  case TValueKind::vkRecord:
    if (!v.Text.empty() && !IsIdentifier(v.Text)) throw EWriteError("\"" + v.Text + "\" is not a class name");
    for (const auto &m : v.Members) {
      if (m.IsChild()) throw EWriteError("a record holds properties only");
      Validate(m.Value, depth + 1);
    }
    break;
  case TValueKind::vkObject:
    throw EWriteError("a component cannot stand as a property value");
  default:
    break;
  }
}

void CheckPath(const std::string &path) {
  size_t start = 0;
  for (;;) {
    size_t dot = path.find('.', start);
    std::string_view seg(path.data() + start, (dot == std::string::npos ? path.size() : dot) - start);
    if (!IsIdentifier(seg)) throw EWriteError("\"" + path + "\" is not a property name");
    if (dot == std::string::npos) return;
    start = dot + 1;
  }
}

void WriteProperties(TPersistent &object, const std::string &prefix, TValue &out, int depth) {
  if (depth > kMaxNesting) throw EWriteError(prefix + ": objects nested deeper than " + std::to_string(kMaxNesting));
  TPropertyTable table;
  object.DefineProperties(table);
  for (const auto &def : table.Defs()) {
    std::string path = prefix + def.Name;
    try {
      if (def.Stored && !def.Stored()) continue;
      if (def.Object) {
        if (TPersistent *sub = def.Object()) WriteProperties(*sub, path + ".", out, depth + 1);
        continue;
      }
      if (!def.Write) continue;
      std::optional<TValue> v = def.Write();
      if (!v) continue;
      CheckPath(path);
      Validate(*v, 0);
      out.Add(path, std::move(*v));
    } catch (EWriteError &e) {
      if (e.Detail().rfind("property ", 0) == 0) throw;
      throw EWriteError("property " + path + ": " + e.Detail());
    }
  }
}

TValue WriteObject(TStoredComponent &c, int depth) {
  std::string className(c.ClassName());
  std::string who = className + (c.Name().empty() ? "" : " " + c.Name());
  if (depth > kMaxNesting) throw EWriteError(who + ": components nested deeper than " + std::to_string(kMaxNesting));
  if (!IsIdentifier(className)) throw EWriteError("\"" + className + "\" is not a class name");
  if (!c.Name().empty() && !IsIdentifier(c.Name())) throw EWriteError("\"" + c.Name() + "\" is not a component name");
  TValue node = TValue::MakeObject(className, c.Name());
  try {
    WriteProperties(c, "", node, 0);
  } catch (EWriteError &e) {
    throw EWriteError(who + ", " + e.Detail());
  }
  for (TStoredComponent *child : c.StoredChildren())
    node.Members.push_back(TMember{{}, WriteObject(*child, depth + 1), 0});
  return node;
}

} // namespace

TValue WriteComponentTree(TStoredComponent &root) { return WriteObject(root, 1); }

std::string WriteComponent(TStoredComponent &root) { return PrintDefinition(WriteComponentTree(root)); }

TValue RecordOf(TPersistent &object, const std::string &className) {
  TValue r = TValue::MakeRecord(className);
  WriteProperties(object, "", r, 0);
  return r;
}

} // namespace streaming
