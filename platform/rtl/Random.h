// The run-time's uniform random generator. It starts from a fixed seed, so
// a run that never seeds it repeats its sequence.
#pragma once

#include <cstdint>

namespace rtl {

// Uniform on [0, 1).
double Random() noexcept;
// Uniform integer on [0, range); 0 when range <= 0.
int64_t RandomInt(int64_t range) noexcept;
void RandSeed(uint64_t seed) noexcept;

} // namespace rtl
