// The wandering spot lights: up to three positional lights that drift in front
// of the field, each in a box of its own, bouncing off the box walls and now and
// then taking a new random velocity.
//
// Pure motion, no OpenGL: the scene sends the positions after every move. The
// motion is counted in frames; the calendar clock only decides when a light
// re-aims. Before each light's update the generator is seeded from the clock
// and the light's last re-aim time, so the draws follow the clock exactly.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "base/clock.h"
#include "base/random_source.h"

namespace orvex {

constexpr int kMovingLights = 3;

struct LightState {
    std::array<float, 4> pos{0.0f, 0.0f, 0.0f, 1.0f};  // eye coordinates, w = 1
    std::array<float, 3> velocity{0.0f, 0.0f, 0.0f};
    double diff_time = 0.0;     // re-aim interval, whole seconds 0..23
    std::int64_t old_time = 0;  // calendar time of the last re-aim
    std::int64_t new_time = 0;  // calendar time read at the last update
};

class MovingLights {
public:
    // A null clock or generator means the system clock or an LcgRandom.
    explicit MovingLights(CalendarClock clock = nullptr, std::unique_ptr<RandomSource> random = nullptr);

    LightState& light(int k) { return lights_[k]; }
    const LightState& light(int k) const { return lights_[k]; }

    // Every light re-aims at its next update (set-up with lighting on).
    void reset_clocks();

    // One frame: updates the lights that count uses (1..3), highest number first.
    // Any other count moves nothing.
    void MoveLights(int count);

private:
    struct Axis {
        double step;
        float lo, hi;
    };
    struct Track {
        Axis x, y, z;
        double seed_offset;  // added to the last re-aim time for the generator seed
    };
    static const Track& track(int count, int k);

    void update(int k, const Track& t);
    void reaim(LightState& l);

    CalendarClock clock_;
    std::unique_ptr<RandomSource> random_;
    std::array<LightState, kMovingLights> lights_;
};

}  // namespace orvex
