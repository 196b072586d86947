#include "core/reset_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "core/automaton.h"
#include "seed/field_setup.h"
#include "tests/seed/seed_test_util.h"

namespace orvex {
namespace {

// A field whose generations are given by a function of the tick: generation
// t shows state states(t), each state a distinct picture. A reset puts state 0
// back and restarts the count, as a seeding would.
class PeriodBench {
public:
    explicit PeriodBench(std::function<int(int)> states) : states_(std::move(states)) {
        show(states_(0));
        check_.take_snapshots(field_);
    }

    // Runs ticks until the first reset (or limit); returns the tick, or -1.
    int run_to_reset(int limit = 200) {
        for (int t = 1; t <= limit; ++t) {
            ++generation_;
            show(states_(generation_));
            if (check_.after_step(field_)) return t;
        }
        return -1;
    }

    const ResetCheck& check() const { return check_; }

private:
    void show(int state) {
        std::vector<int32_t> cells(100 * 100, 0);
        if (state > 0) cells[state] = 1;  // state 0 is the empty field
        field_.load(cells);
    }
    void reseed() {
        generation_ = 0;
        show(states_(0));
        check_.take_snapshots(field_);
    }

    std::function<int(int)> states_;
    static Settings repeat_mode() {
        Settings s = test::settings_for(100);
        s.ResetMode = kResetRepeat;
        return s;
    }

    Settings settings_ = repeat_mode();
    Automaton field_{field_setup(settings_)};
    int generation_ = 0;
    ResetCheck check_{reset_setup(settings_), [] { return 0; }, [this] { reseed(); }};
};

TEST(PeriodCheck, StillLifeFromGenerationThreeIsResetByTheShortCheckAtTickTwelve) {
    PeriodBench bench([](int t) { return 1 + std::min(t, 3); });
    EXPECT_EQ(bench.run_to_reset(), 12);
    // Short reset: the long counter was cleared and counted once in the same tick.
    EXPECT_EQ(bench.check().minus7(), 0);
    EXPECT_EQ(bench.check().minus15(), 1);
    EXPECT_EQ(bench.check().modification(), 0);
    // The next short check compares generation 6 with the seed: state 4 again from
    // generation 3, so the next reset is 12 ticks later again.
    EXPECT_EQ(bench.run_to_reset(), 12);
}

TEST(PeriodCheck, DeadFieldIsResetWithinTwelveGenerations) {
    for (int death = 1; death <= 40; ++death) {
        PeriodBench bench([death](int t) { return t >= death ? 0 : 1 + t; });
        const int tick = bench.run_to_reset();
        EXPECT_GT(tick, death);
        EXPECT_LE(tick, death + 12) << "died at " << death;
    }
}

TEST(PeriodCheck, PeriodNineteenIsCaughtByTheLongCheck) {
    PeriodBench bench([](int t) { return 1 + t % 19; });
    EXPECT_EQ(bench.run_to_reset(), 19);
    EXPECT_EQ(bench.check().minus7(), 0);
    EXPECT_EQ(bench.check().minus15(), 0);
    EXPECT_EQ(bench.check().modification(), 0);
    EXPECT_EQ(bench.run_to_reset(), 19);  // both counts restart from the seed
}

TEST(PeriodCheck, PeriodTwelveIsCaughtByTheCrossCheck) {
    // The short check compares 12 with 6 (different); the cross check 12 with the seed.
    PeriodBench bench([](int t) { return 1 + t % 12; });
    EXPECT_EQ(bench.run_to_reset(), 12);
    EXPECT_EQ(bench.check().minus7(), 0);
    EXPECT_EQ(bench.check().minus15(), 0);
    EXPECT_EQ(bench.run_to_reset(), 12);
}

TEST(PeriodCheck, StillLifeFromGenerationFifteenIsCaughtAcrossWhenTheLongCheckStores) {
    // Tick 19: the long check finds generation 19 unlike the seed and stores it;
    // the short snapshot (generation 18) is the same picture, so the cross check resets.
    PeriodBench bench([](int t) { return 1 + std::min(t, 15); });
    EXPECT_EQ(bench.run_to_reset(), 19);
    EXPECT_EQ(bench.check().minus7(), 0);
    EXPECT_EQ(bench.check().minus15(), 0);
    EXPECT_EQ(bench.check().modification(), 0);
}

TEST(ResetModes, OffNeverReseedsAndTimeLeavesThePeriodStateAlone) {
    for (int mode : {kResetOff, kResetTime}) {
        Settings s = test::settings_for(100);
        s.ResetMode = mode;
        std::int64_t now = 0;
        int reseeds = 0;
        Automaton field(field_setup(s));  // empty: the period check would reset it
        ResetCheck check(
            reset_setup(s), [&now] { return now; }, [&reseeds] { ++reseeds; });
        check.take_snapshots(field);
        const std::vector<int32_t> taken7 = check.snapshot7(), taken15 = check.snapshot15();
        check.start_interval();
        for (int tick = 0; tick < 100; ++tick, now += 1) check.after_step(field);
        EXPECT_EQ(reseeds, mode == kResetOff ? 0 : 9) << mode;
        EXPECT_EQ(check.minus7(), 0) << mode;
        EXPECT_EQ(check.minus15(), 0) << mode;
        EXPECT_EQ(check.modification(), 0) << mode;
        EXPECT_EQ(check.snapshot7(), taken7) << mode;
        EXPECT_EQ(check.snapshot15(), taken15) << mode;
    }
}

TEST(TimeCheck, ResetsAtTheFirstTickAfterMoreThanTheSetSeconds) {
    for (double limit : {10.0, 600.0}) {
        Settings s = test::settings_for(100);
        s.ResetMode = kResetTime;
        s.ResetTimeValue = limit;
        std::int64_t now = 1000;
        std::vector<std::int64_t> resets;
        Automaton field(field_setup(s));
        ResetCheck check(
            reset_setup(s), [&now] { return now; }, [&] { resets.push_back(now); });
        check.start_interval();
        for (; now <= 1000 + 3 * static_cast<std::int64_t>(limit) + 10; ++now) check.after_step(field);
        const auto step = static_cast<std::int64_t>(limit) + 1;
        EXPECT_EQ(resets, (std::vector<std::int64_t>{1000 + step, 1000 + 2 * step, 1000 + 3 * step})) << limit;
        EXPECT_EQ(check.interval_begin(), 1000 + 3 * step);
    }
}

}  // namespace
}  // namespace orvex
