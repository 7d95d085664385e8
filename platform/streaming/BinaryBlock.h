// Binary blocks of a definition: bounded little-endian reading and writing.
#pragma once

#include "platform/streaming/StoredValue.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace streaming {

// Reads a block front to back. Every read is bounded: asking for more bytes
// than remain raises EReadError and reads nothing.
class TBinaryReader {
public:
  explicit TBinaryReader(std::span<const uint8_t> data) : data_(data) {}

  uint8_t ReadU8();
  int8_t ReadI8();
  int32_t ReadI32();
  uint32_t ReadU32();
  double ReadF64();
  std::string ReadBytes(size_t count);

  size_t Position() const noexcept { return pos_; }
  size_t Remaining() const noexcept { return data_.size() - pos_; }
  bool AtEnd() const noexcept { return pos_ == data_.size(); }
  // Raises EReadError unless count more bytes remain. Call it before sizing
  // anything from a count read out of the block.
  void Need(size_t count) const;
  // Raises EReadError when bytes are left over.
  void ExpectEnd() const;

private:
  std::span<const uint8_t> data_;
  size_t pos_ = 0;
};

class TBinaryWriter {
public:
  void WriteU8(uint8_t v) { bytes_.push_back(v); }
  void WriteI8(int8_t v) { bytes_.push_back(static_cast<uint8_t>(v)); }
  void WriteI32(int32_t v) { WriteU32(static_cast<uint32_t>(v)); }
  void WriteU32(uint32_t v);
  void WriteF64(double v);
  void WriteBytes(std::string_view bytes);

  const std::vector<uint8_t> &Bytes() const noexcept { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
  std::vector<uint8_t> bytes_;
};

} // namespace streaming
