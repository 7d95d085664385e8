#include "resources/Resources.h"

#include <cstddef>

namespace kvel_resources {

struct EmbeddedFile {
  const char *Name;
  const unsigned char *Bytes;
  std::size_t Size;
};

extern const EmbeddedFile kEmbeddedFiles[];

std::optional<std::string_view> Find(std::string_view name) {
  for (const EmbeddedFile *file = kEmbeddedFiles; file->Name; ++file)
    if (name == file->Name) return std::string_view(reinterpret_cast<const char *>(file->Bytes), file->Size);
  return std::nullopt;
}

} // namespace kvel_resources
