#pragma once

// The demo generator's own pseudo-random numbers: a fixed algorithm
// (splitmix64) so that every build on every machine generates the same demo
// database. The standard library's distributions are implementation-defined
// and are not used.

#include <cstdint>

namespace korvan::demo {

class DemoRandom {
  public:
    explicit DemoRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A whole number in [low, high], both included.
    long range(long low, long high)
    {
        if (high <= low)
            return low;
        const auto span = static_cast<std::uint64_t>(high - low) + 1;
        return low + static_cast<long>(next() % span);
    }

    // True with the given chance in percent.
    bool percent(int chance) { return range(0, 99) < chance; }

  private:
    std::uint64_t state_;
};

} // namespace korvan::demo
