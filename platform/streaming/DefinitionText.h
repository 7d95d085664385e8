// Definition text <-> value tree. The grammar is in Streaming.h.
#pragma once

#include "platform/streaming/StoredValue.h"

#include <string>
#include <string_view>

namespace streaming {

// Deepest nesting of objects, records, lists and sets that a text may have;
// deeper texts are refused rather than risking the stack.
constexpr int kMaxNesting = 64;

// Parses a whole definition: one component (a vkObject value) and nothing
// after it. Raises EDefinitionError with the line on any fault; never
// touches an object.
TValue ParseDefinition(std::string_view text);

// Prints a component tree in the canonical layout: parsing the result gives
// the same tree, and printing that gives the same text. Raises EWriteError
// for NaN, which has no text.
std::string PrintDefinition(const TValue &object);

// One value in the canonical layout, on one line when it is short; used for
// messages and tests.
std::string PrintValue(const TValue &value);

// The canonical text of a double: the shortest that reads back to the same
// bits, always with a '.' or an exponent so it reads back as a double
// ("1.0", "-0.0", "5e-324", "inf"). NaN raises EWriteError.
std::string FormatDouble(double v);

} // namespace streaming
