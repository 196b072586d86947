#include "render/moving_lights.h"

#include <cmath>

namespace orvex {

namespace {

// The generator seed divides the clock by the last re-aim time plus this.
constexpr double kSeedOffset = 10.0;
constexpr double kSeedOffsetLight1Of2 = 10.1;

}  // namespace

MovingLights::MovingLights(CalendarClock clock, std::unique_ptr<RandomSource> random)
    : clock_(clock ? std::move(clock) : CalendarClock(system_calendar_time)),
      random_(random ? std::move(random) : std::make_unique<LcgRandom>()) {}

void MovingLights::reset_clocks() {
    for (auto& l : lights_) l.old_time = 0;
}

// Per-frame steps and boxes, by light count and light number.
const MovingLights::Track& MovingLights::track(int count, int k) {
    static const Track one[1] = {
        {{0.04, -2.0f, 2.0f}, {0.04, -2.0f, 2.0f}, {0.02, -2.0f, 2.0f}, kSeedOffset},
    };
    static const Track two[2] = {
        {{-0.03, -1.5f, 2.5f}, {0.05, -1.5f, 2.5f}, {-0.03, -2.0f, 2.0f}, kSeedOffset},
        {{0.05, -2.5f, 1.5f}, {-0.03, -2.5f, 1.5f}, {0.02, -2.0f, 2.0f}, kSeedOffsetLight1Of2},
    };
    static const Track three[3] = {
        {{0.05, -2.0f, 2.5f}, {-0.03, -1.5f, 2.5f}, {0.02, -2.0f, 2.0f}, kSeedOffset},
        {{0.04, -2.5f, 2.0f}, {0.04, -2.0f, 2.0f}, {0.02, -2.0f, 2.0f}, kSeedOffset},
        {{-0.03, -2.0f, 2.5f}, {0.05, -2.5f, 1.5f}, {0.02, -2.0f, 2.0f}, kSeedOffset},
    };
    if (count == 1) return one[k];
    if (count == 2) return two[k];
    return three[k];
}

void MovingLights::MoveLights(int count) {
    if (count < 1 || count > kMovingLights) return;
    for (int k = count - 1; k >= 0; --k) update(k, track(count, k));
}

void MovingLights::update(int k, const Track& t) {
    LightState& l = lights_[k];

    const double now = static_cast<double>(clock_());
    random_->seed(static_cast<std::uint32_t>(std::trunc(now / (static_cast<double>(l.old_time) + t.seed_offset))));
    l.new_time = clock_();
    if (static_cast<double>(l.new_time - l.old_time) > l.diff_time) reaim(l);

    const Axis* axes[3] = {&t.x, &t.y, &t.z};
    for (int a = 0; a < 3; ++a) {
        float& p = l.pos[a];
        float& v = l.velocity[a];
        p = static_cast<float>(p + axes[a]->step * v);
        // A light resting exactly on a wall stays; only one that passes it bounces.
        if (p > axes[a]->hi) {
            v = -v;
            p = axes[a]->hi;
        } else if (p < axes[a]->lo) {
            v = -v;
            p = axes[a]->lo;
        }
    }
}

// Seven draws, always in this order: interval, three magnitudes, three signs.
void MovingLights::reaim(LightState& l) {
    l.old_time = l.new_time;
    l.diff_time = random_->draw() % 24;
    for (float& v : l.velocity) v = static_cast<float>((random_->draw() % 11) / 20.0 + 0.5);
    for (float& v : l.velocity) v = v * static_cast<float>(2 * (random_->draw() % 2) - 1);
}

}  // namespace orvex
