// Renders a compiled formula back as a fully bracketed text, so tests can
// see which operation took which operands: "(A-(B*C))", "neg(sqr(X))",
// "ipow(X,5)", "MAX(A,B)". Numbers appear as their values.
#pragma once

#include "parser/FormulaCompiler.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace shapes {

inline std::string Num(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

inline double Sin(double x) { return std::sin(x); }
inline double Max(double a, double b) { return a >= b ? a : b; }

// Variables A B C D E X Y T and PI, the functions SIN and MAX. Raises what
// the compiler raises.
inline std::string Of(const std::string &text) {
  using namespace parser;
  static std::map<std::string, double> storage;
  TVariableTable variables;
  for (const char *v : {"A", "B", "C", "D", "E", "X", "Y", "T", "PI"})
    variables[v] = &storage[v];
  const TOneArgTable one = {{"SIN", Sin}};
  const TTwoArgTable two = {{"MAX", Max}};
  const auto compiled = ParseExpression(text, variables, one, two, true);
  std::map<const double *, std::string> shown;
  for (const auto &[name, p] : variables)
    shown[p] = name;
  auto show = [&](const double *p) {
    const auto it = shown.find(p);
    return it != shown.end() ? it->second : Num(*p);
  };
  static const char *const kNames[] = {"",    "",     "neg", "+",   "-",    "*",      "/",   "MOD",
                                       "DIV", "ipow", "pow", "sqr", "cube", "fourth", "SIN", "MAX"};
  for (const OperationRecord &r : compiled->Operations) {
    const std::string a = show(r.Operand1), b = r.Operand2 ? show(r.Operand2) : "";
    if (r.Opcode >= opSum && r.Opcode <= opIntDivision)
      shown[r.Result] = "(" + a + kNames[r.Opcode] + b + ")";
    else if (r.Operand2)
      shown[r.Result] = std::string(kNames[r.Opcode]) + "(" + a + "," + b + ")";
    else
      shown[r.Result] = std::string(kNames[r.Opcode]) + "(" + a + ")";
  }
  return show(compiled->ResultCell);
}

} // namespace shapes
