#include "render/moving_lights.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "tests/support/scripted_random.h"

namespace orvex {
namespace {

constexpr std::int64_t kNow = 1700000005;

struct Log {
    std::vector<std::uint32_t> seeds;
    std::deque<int> draws;  // served in order; 0 once used up
    int drawn = 0;
};

// Records the seeds, draws from a real generator.
class RecordingLcg final : public RandomSource {
public:
    explicit RecordingLcg(std::shared_ptr<Log> log) : log_(std::move(log)) {}
    void seed(std::uint32_t value) override {
        log_->seeds.push_back(value);
        lcg_.seed(value);
    }
    int draw() override { return lcg_.draw(); }

private:
    std::shared_ptr<Log> log_;
    LcgRandom lcg_;
};

// Serves the log's draws in order, 0 once they are used up, and logs the seeds.
std::unique_ptr<RandomSource> scripted(const std::shared_ptr<Log>& log) {
    return std::make_unique<test::ScriptedRandom>(
        [log](long) {
            ++log->drawn;
            if (log->draws.empty()) return 0;
            const int d = log->draws.front();
            log->draws.pop_front();
            return d;
        },
        [log](std::uint32_t value) { log->seeds.push_back(value); });
}

struct Rig {
    std::shared_ptr<std::int64_t> now = std::make_shared<std::int64_t>(kNow);
    std::shared_ptr<Log> log = std::make_shared<Log>();
    MovingLights lights;

    explicit Rig(bool real_generator = false)
        : lights([t = now] { return *t; },
                 real_generator ? std::unique_ptr<RandomSource>(new RecordingLcg(log)) : scripted(log)) {
        lights.light(0).pos = {0.0f, 0.0f, 1.5f, 1.0f};
    }
};

TEST(MovingLights, FirstFrameReaimsEveryLightSeededFromTheClock) {
    Rig rig;
    rig.log->draws = {5, 3, 10, 0, 1, 0, 1};  // wait 5; magnitudes 0.65, 1.0, 0.5; signs + - +
    rig.lights.MoveLights(1);

    ASSERT_EQ(rig.log->seeds.size(), 1u);
    EXPECT_EQ(rig.log->seeds[0], static_cast<std::uint32_t>(kNow / 10));
    EXPECT_EQ(rig.log->drawn, 7);
    const LightState& l = rig.lights.light(0);
    EXPECT_EQ(l.old_time, kNow);
    EXPECT_EQ(l.diff_time, 5.0);
    EXPECT_FLOAT_EQ(l.velocity[0], 0.65f);
    EXPECT_FLOAT_EQ(l.velocity[1], -1.0f);
    EXPECT_FLOAT_EQ(l.velocity[2], 0.5f);
    EXPECT_FLOAT_EQ(l.pos[0], 0.026f);
    EXPECT_FLOAT_EQ(l.pos[1], -0.04f);
    EXPECT_FLOAT_EQ(l.pos[2], 1.51f);
    EXPECT_EQ(l.pos[3], 1.0f);
}

TEST(MovingLights, ReaimsOnlyOnceTheIntervalIsExceeded) {
    Rig rig;
    rig.log->draws = {5, 0, 0, 0, 1, 1, 1};
    rig.lights.MoveLights(1);
    const int after_first = rig.log->drawn;

    // Within the interval: seeded again (0 now that old is set), nothing drawn.
    *rig.now = kNow + 5;
    rig.lights.MoveLights(1);
    EXPECT_EQ(rig.log->seeds.back(), 0u);
    EXPECT_EQ(rig.log->drawn, after_first);

    *rig.now = kNow + 6;
    rig.lights.MoveLights(1);
    EXPECT_EQ(rig.log->drawn, after_first + 7);
    EXPECT_EQ(rig.lights.light(0).old_time, kNow + 6);

    // Seed 1 once the clock has passed old + 10.
    *rig.now = kNow + 6 + 11;
    rig.lights.MoveLights(1);
    EXPECT_EQ(rig.log->seeds.back(), 1u);
}

TEST(MovingLights, ZeroIntervalWaitsForTheNextSecond) {
    Rig rig;  // every draw 0: wait 0
    rig.lights.MoveLights(1);
    EXPECT_EQ(rig.log->drawn, 7);
    rig.lights.MoveLights(1);
    EXPECT_EQ(rig.log->drawn, 7);
    *rig.now += 1;
    rig.lights.MoveLights(1);
    EXPECT_EQ(rig.log->drawn, 14);
}

TEST(MovingLights, LandingExactlyOnAWallDoesNotBounce) {
    Rig rig;
    rig.lights.MoveLights(1);  // first re-aim out of the way
    LightState& l = rig.lights.light(0);
    l.diff_time = 1e9;
    l.pos = {1.98f, 0.0f, 0.0f, 1.0f};
    l.velocity = {0.5f, 0.0f, 0.0f};
    ASSERT_EQ(static_cast<float>(1.98f + 0.04 * 0.5f), 2.0f);

    rig.lights.MoveLights(1);
    EXPECT_EQ(l.pos[0], 2.0f);
    EXPECT_EQ(l.velocity[0], 0.5f);

    rig.lights.MoveLights(1);  // passes the wall: back onto it, turned round
    EXPECT_EQ(l.pos[0], 2.0f);
    EXPECT_EQ(l.velocity[0], -0.5f);
    rig.lights.MoveLights(1);
    EXPECT_FLOAT_EQ(l.pos[0], 1.98f);

    l.pos[2] = -1.999f;
    l.velocity[2] = -1.0f;
    rig.lights.MoveLights(1);  // the lower wall of z
    EXPECT_EQ(l.pos[2], -2.0f);
    EXPECT_EQ(l.velocity[2], 1.0f);
}

TEST(MovingLights, TwoLightsUpdateLightOneFirstWithItsOwnSeed) {
    Rig rig(true);
    rig.lights.light(1).pos = {-0.5f, -0.5f, 1.5f, 1.0f};
    rig.lights.light(0).pos = {0.5f, 0.5f, 1.5f, 1.0f};
    rig.lights.MoveLights(2);

    ASSERT_EQ(rig.log->seeds.size(), 2u);
    const auto seed1 = static_cast<std::uint32_t>(std::trunc(kNow / 10.1));
    const auto seed0 = static_cast<std::uint32_t>(kNow / 10);
    EXPECT_EQ(rig.log->seeds[0], seed1);
    EXPECT_EQ(rig.log->seeds[1], seed0);

    // Each light's seven draws come right after its own seed.
    auto expected_velocity_x = [](std::uint32_t seed) {
        LcgRandom r;
        r.seed(seed);
        r.draw();
        const float magnitude = static_cast<float>((r.draw() % 11) / 20.0 + 0.5);
        r.draw(), r.draw();
        return magnitude * static_cast<float>(2 * (r.draw() % 2) - 1);
    };
    EXPECT_EQ(rig.lights.light(1).velocity[0], expected_velocity_x(seed1));
    EXPECT_EQ(rig.lights.light(0).velocity[0], expected_velocity_x(seed0));
    // Light 1 steps +0.05 in x, light 0 -0.03.
    EXPECT_FLOAT_EQ(rig.lights.light(1).pos[0], -0.5f + 0.05f * rig.lights.light(1).velocity[0]);
    EXPECT_FLOAT_EQ(rig.lights.light(0).pos[0], 0.5f - 0.03f * rig.lights.light(0).velocity[0]);
}

TEST(MovingLights, ThreeLightsUpdateFromTheHighestAndOtherCountsMoveNothing) {
    Rig rig(true);
    rig.lights.light(1).old_time = kNow - 100;
    rig.lights.light(2).old_time = kNow - 200;
    rig.lights.MoveLights(3);
    ASSERT_EQ(rig.log->seeds.size(), 3u);
    EXPECT_EQ(rig.log->seeds[0], static_cast<std::uint32_t>(std::trunc(kNow / (kNow - 200 + 10.0))));
    EXPECT_EQ(rig.log->seeds[1], static_cast<std::uint32_t>(std::trunc(kNow / (kNow - 100 + 10.0))));
    EXPECT_EQ(rig.log->seeds[2], static_cast<std::uint32_t>(kNow / 10));

    Rig idle;
    const auto before = idle.lights.light(0).pos;
    idle.lights.MoveLights(0);
    idle.lights.MoveLights(4);
    EXPECT_TRUE(idle.log->seeds.empty());
    EXPECT_EQ(idle.lights.light(0).pos, before);
}

}  // namespace
}  // namespace orvex
