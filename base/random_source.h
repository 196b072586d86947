// The pseudo-random generator of the seeding and the lights: draws uniform over 0..32767, reseeded
// from the calendar clock at every seeding. Tests substitute scripted draws.
#pragma once

#include <cstdint>

namespace orvex {

constexpr int kRandomMax = 32767;

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seed(std::uint32_t value) = 0;
    // Next draw, 0..kRandomMax.
    virtual int draw() = 0;
};

// Linear congruential generator with the classic C-library constants.
class LcgRandom final : public RandomSource {
public:
    void seed(std::uint32_t value) override { state_ = value; }
    int draw() override {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7fffu);
    }

private:
    std::uint32_t state_ = 1;
};

}  // namespace orvex
