// Deterministic randomness for the sample payload: every file is seeded
// from its resource id and the profile, never from the time.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {
    if (state_ == 0) state_ = 1;
  }
  std::uint64_t Next() {  // xorshift64*
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }
  unsigned Below(unsigned n) { return static_cast<unsigned>((Next() >> 32) % n); }
  unsigned Between(unsigned low, unsigned high) { return low + Below(high - low + 1); }
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

 private:
  std::uint64_t state_;
};

// Ranks drawn with probability proportional to 1 / (rank + 1): the shape of
// word and character frequencies in real text.
class Zipf {
 public:
  explicit Zipf(std::size_t count) : cumulative_(count) {
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i) cumulative_[i] = sum += 1.0 / static_cast<double>(i + 1);
  }
  std::size_t Draw(Random& random) const {
    double target = random.Unit() * cumulative_.back();
    return static_cast<std::size_t>(std::upper_bound(cumulative_.begin(), cumulative_.end(), target) -
                                    cumulative_.begin()) % cumulative_.size();
  }

 private:
  std::vector<double> cumulative_;
};
