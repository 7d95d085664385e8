#include "platform/streaming/BinaryBlock.h"

#include <bit>
#include <cstring>

namespace streaming {

void TBinaryReader::Need(size_t count) const {
  if (count > Remaining())
    throw EReadError("binary block ends early: " + std::to_string(count) + " more bytes needed at offset " +
                     std::to_string(pos_) + ", " + std::to_string(Remaining()) + " left");
}

void TBinaryReader::ExpectEnd() const {
  if (!AtEnd())
    throw EReadError("binary block has " + std::to_string(Remaining()) + " unread bytes after offset " +
                     std::to_string(pos_));
}

uint8_t TBinaryReader::ReadU8() {
  Need(1);
  return data_[pos_++];
}

int8_t TBinaryReader::ReadI8() { return static_cast<int8_t>(ReadU8()); }

uint32_t TBinaryReader::ReadU32() {
  Need(4);
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = (v << 8) | data_[pos_ + static_cast<size_t>(i)];
  pos_ += 4;
  return v;
}

int32_t TBinaryReader::ReadI32() { return static_cast<int32_t>(ReadU32()); }

double TBinaryReader::ReadF64() {
  Need(8);
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i)
    bits = (bits << 8) | data_[pos_ + static_cast<size_t>(i)];
  pos_ += 8;
  return std::bit_cast<double>(bits);
}

std::string TBinaryReader::ReadBytes(size_t count) {
  Need(count);
  std::string r(reinterpret_cast<const char *>(data_.data() + pos_), count);
  pos_ += count;
  return r;
}

void TBinaryWriter::WriteU32(uint32_t v) {
  for (int i = 0; i < 4; ++i)
    bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void TBinaryWriter::WriteF64(double v) {
  auto bits = std::bit_cast<uint64_t>(v);
  for (int i = 0; i < 8; ++i)
    bytes_.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

void TBinaryWriter::WriteBytes(std::string_view bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }

} // namespace streaming
