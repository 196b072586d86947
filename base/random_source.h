// The pseudo-random generator of the seeding and the lights: draws uniform over 0..32767, reseeded
// from the calendar clock at every seeding. Tests substitute scripted draws.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

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

// Another generator whose every seed is moved by a fixed salt, so that
// generators seeded from the same clock draw apart. Salt 0 changes nothing.
class SaltedRandom final : public RandomSource {
public:
    SaltedRandom(std::unique_ptr<RandomSource> inner, std::uint32_t salt) : inner_(std::move(inner)), salt_(salt) {}
    void seed(std::uint32_t value) override { inner_->seed(value + salt_ * 0x9E3779B9u); }
    int draw() override { return inner_->draw(); }

private:
    std::unique_ptr<RandomSource> inner_;
    std::uint32_t salt_;
};

}  // namespace orvex
