// The files built into the program, looked up by file name.
#pragma once

#include <optional>
#include <string_view>

namespace kvel_resources {

// The bytes of the built-in file of that name, or nullopt.
std::optional<std::string_view> Find(std::string_view name);

} // namespace kvel_resources
