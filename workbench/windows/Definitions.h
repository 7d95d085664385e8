// The windows' stored definitions, built into the program.
#pragma once

#include <string>

namespace workbench {

// The text of a built-in definition ("Form1.def"); raises rtl::EInOutError
// when the program was built without it.
std::string DefinitionText(const std::string &fileName);

} // namespace workbench
