// A deterministic source of choices for the synthetic schools: the same seed gives
// the same school on every machine and standard library (the 64-bit Mersenne
// Twister's output is fixed by the C++ standard; distributions are not, so none is
// used).
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

namespace tvb::bench {

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}

  // A number from 0 to n - 1; n must not be 0.
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
  // True `percent` times in a hundred.
  bool Chance(unsigned percent) { return Below(100) < percent; }

 private:
  std::mt19937_64 engine_;
};

}  // namespace tvb::bench
