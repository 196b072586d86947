#include "seed/simulation.h"

#include <gtest/gtest.h>

#include "tests/seed/seed_test_util.h"

namespace orvex {
namespace {

std::vector<int32_t> blinker_matrix(int n) {
    std::vector<int32_t> m(static_cast<size_t>(n) * n, 0);
    for (int j = 49; j <= 51; ++j) m[50 * n + j] = 1;
    return m;
}

TEST(Simulation, StartSeedsAndEveryTickSteps) {
    Settings s = test::settings_for(100, 5);
    Simulation sim(s, {}, [] { return 77; });
    sim.start();
    EXPECT_EQ(sim.field().population(), 25);
    EXPECT_EQ(sim.reset_check().interval_begin(), 77);
    sim.tick();
    EXPECT_EQ(sim.generation(), 1);
    EXPECT_EQ(sim.field().population(), 16);  // corners survive, 3 births beside each side
}

TEST(Simulation, ABlinkerIsResetAtEachShortCheck) {
    Settings s = test::settings_for(100, kPatternFromFile);
    s.ResetMode = kResetRepeat;
    Simulation sim(s, blinker_matrix(100), [] { return 0; });
    int pictures = 0;
    sim.set_picture_step([&] { ++pictures; });
    sim.start();
    for (int t = 1; t <= 60; ++t) EXPECT_EQ(sim.tick(), t % 6 == 0) << t;
    EXPECT_EQ(sim.resets(), 10);
    EXPECT_EQ(pictures, 11);
    EXPECT_EQ(sim.field().cells(), blinker_matrix(100));
}

}  // namespace
}  // namespace orvex
