// Writing objects as a definition. See Streaming.h for the whole picture.
#pragma once

#include "platform/streaming/Persistent.h"

#include <string>

namespace streaming {

// The tree of root: its stored properties (only those that differ from
// their defaults, in declaration order, nested objects as dotted paths),
// then its stored children. Raises EWriteError for what cannot be stored
// (NaN, a reference to an unnamed component, a name that is not an
// identifier), naming the component and the property.
TValue WriteComponentTree(TStoredComponent &root);

// The definition text of root; reading it back and writing again gives
// the same text.
std::string WriteComponent(TStoredComponent &root);

// The stored properties of object as a record, with className before it
// when not empty; for custom keys that hold records (collection items,
// per-point mark items).
TValue RecordOf(TPersistent &object, const std::string &className = {});

} // namespace streaming
