#include "chart/foundation/UloRichText.h"

#include "platform/rtl/Exceptions.h"

void DrawRichText(TUloCanvas &, int, int, const std::string &) {
  throw rtl::ENotImplemented("Drawing of texts with markup");
}
