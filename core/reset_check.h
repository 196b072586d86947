// Automatic reset of a running field: the period check (ResetMode 1) and the
// time check (ResetMode 2), run once after every generation step.
//
// The check never seeds by itself: it calls the reseed callback it was given,
// and that callback must end by calling take_snapshots() with the new seed (the
// seeder does so). The calendar clock gives whole seconds, like time().
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "base/clock.h"
#include "core/automaton.h"

namespace orvex {

// Which check runs after each step, and the time check's limit in seconds.
enum ResetKind : int { kNoReset = 0, kPeriodReset = 1, kTimeReset = 2 };

struct ResetSetup {
    int mode = kNoReset;  // a ResetKind
    double time_value = 10.0;
};

class ResetCheck {
public:
    ResetCheck(const ResetSetup& setup, CalendarClock clock, std::function<void()> reseed);

    // Both snapshots become copies of the field (last action of every seeding);
    // without the period check there is nothing to copy them for.
    void take_snapshots(const Automaton& field);
    // Starts a reset interval now (when the simulation window is created).
    void start_interval();

    // The check that ResetMode selects; true when it reseeded the field.
    bool after_step(const Automaton& field);
    bool period_check(const Automaton& field);
    bool time_check();

    int reset_mode() const { return ResetMode; }
    int minus7() const { return minus7_flag; }
    int minus15() const { return minus15_flag; }
    int modification() const { return modification_var_om; }
    std::int64_t interval_begin() const { return reset_time_begin; }
    double elapsed() const { return elapsed_time; }
    std::vector<int32_t> snapshot7() const { return life_minus7.values(); }
    std::vector<int32_t> snapshot15() const { return life_minus15.values(); }

private:
    void reseed() { reseed_(); }

    int ResetMode;
    double ResetTimeValue;
    CalendarClock clock_;
    std::function<void()> reseed_;

    FieldCopy life_minus7;   // field at the last short check (or seed)
    FieldCopy life_minus15;  // field at the last long check (or seed)
    int minus7_flag = 0;     // 0..5
    int minus15_flag = 0;    // 0..18
    int modification_var_om = 0;

    std::int64_t reset_time_begin = 0;
    std::int64_t reset_time_current = 0;
    double elapsed_time = 0.0;
};

}  // namespace orvex
