#include "workbench/windows/Definitions.h"

#include "platform/forms/Application.h"
#include "platform/rtl/Exceptions.h"

namespace workbench {

std::string DefinitionText(const std::string &fileName) {
  std::optional<std::string> text = forms::Application().FindResource(fileName);
  if (!text) throw rtl::EInOutError("The window definition \"" + fileName + "\" is missing");
  return *text;
}

} // namespace workbench
