// Generators that differ between saver processes started in the same second.
//
// XScreenSaver and xsecurelock start one saver per monitor, all at once. The
// seeding and the lights reseed their generators from the calendar clock in
// whole seconds, so with plain generators every monitor would show the same
// field and the same lights. SaltedRandom mixes every seed value with a salt
// drawn once per process (monotonic time and process id); the seeds still
// follow the clock as before, only no longer the same in two processes.
#pragma once

#include <cstdint>

#include "base/random_source.h"

namespace orvex::x11 {

// A 64-bit finaliser (SplitMix64): every input bit changes about half the output bits.
std::uint64_t mix64(std::uint64_t x);

// The salt of a process started at monotonic_ns with process id pid.
std::uint64_t process_salt(std::uint64_t monotonic_ns, std::uint64_t pid);
// The salt of this process, from clock_gettime(CLOCK_MONOTONIC) and getpid().
std::uint64_t this_process_salt();

class SaltedRandom final : public RandomSource {
public:
    explicit SaltedRandom(std::uint64_t salt) : salt_(salt) {}
    void seed(std::uint32_t value) override { lcg_.seed(static_cast<std::uint32_t>(mix64(value ^ salt_))); }
    int draw() override { return lcg_.draw(); }

private:
    std::uint64_t salt_;
    LcgRandom lcg_;
};

}  // namespace orvex::x11
