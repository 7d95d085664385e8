#include "platform/rtl/Random.h"

namespace rtl {

namespace {
constexpr uint64_t kDefaultSeed = 0x9E3779B97F4A7C15ull;
uint64_t g_state = kDefaultSeed;

// splitmix64: small, fast and well distributed.
uint64_t Next() noexcept {
  uint64_t z = (g_state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
} // namespace

double Random() noexcept { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

int64_t RandomInt(int64_t range) noexcept {
  if (range <= 0) return 0;
  return static_cast<int64_t>(Next() % static_cast<uint64_t>(range));
}

void RandSeed(uint64_t seed) noexcept { g_state = seed; }

} // namespace rtl
