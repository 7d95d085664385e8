// Whole-file reading and safe writing. A write never leaves a half-written
// target: the bytes go to a temporary file in the same folder, which then
// replaces the target in one rename.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rtl {

// Raises EInOutError naming the file when it cannot be read.
std::string ReadFileBytes(const std::string &path);

// Raises EInOutError naming the file; the old target stays as it was.
void WriteFileAtomic(const std::string &path, std::string_view bytes);

bool FileExists(const std::string &path);

// Splits at LF, dropping a CR before it; a last line without LF counts,
// an empty text has no lines.
std::vector<std::string> SplitLines(std::string_view bytes);

// Joins lines, each ended with CR LF.
std::string JoinLinesCrLf(const std::vector<std::string> &lines);

} // namespace rtl
