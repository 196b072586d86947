#include "core/reset_check.h"

#include <utility>

#include "core/automaton.h"

namespace orvex {

namespace {

constexpr int kShortPeriod = 5;  // short check every 6th tick
constexpr int kLongPeriod = 18;  // long check every 19th tick

}  // namespace

ResetCheck::ResetCheck(const ResetSetup& setup, CalendarClock clock, std::function<void()> reseed)
    : ResetMode(setup.mode),
      ResetTimeValue(setup.time_value),
      clock_(clock ? std::move(clock) : CalendarClock(system_calendar_time)),
      reseed_(std::move(reseed)) {}

void ResetCheck::take_snapshots(const Automaton& field) {
    if (ResetMode != kPeriodReset) return;  // only the period check reads them
    field.copy_cells(life_minus7);
    field.copy_cells(life_minus15);
}

void ResetCheck::start_interval() { reset_time_begin = clock_(); }

bool ResetCheck::after_step(const Automaton& field) {
    if (ResetMode == kPeriodReset) return period_check(field);
    if (ResetMode == kTimeReset) return time_check();
    return false;
}

bool ResetCheck::period_check(const Automaton& field) {
    bool reset = false;
    modification_var_om = 1;

    if (minus7_flag == kShortPeriod) {
        minus7_flag = 0;
        if (field.same(life_minus7)) {
            reseed();
            reset = true;
            minus15_flag = 0;
            modification_var_om = 0;
        } else {
            field.copy_cells(life_minus7);
        }
    } else {
        ++minus7_flag;
    }

    if (minus15_flag == kLongPeriod) {
        minus15_flag = 0;
        if (field.same(life_minus15)) {
            reseed();
            reset = true;
            minus7_flag = 0;
            modification_var_om = 0;
        } else {
            field.copy_cells(life_minus15);
        }
    } else {
        ++minus15_flag;
    }

    const bool one_counter_zero = minus7_flag * minus15_flag == 0 && minus7_flag + minus15_flag != 0;
    if (one_counter_zero && modification_var_om == 1 && life_minus7 == life_minus15) {
        reseed();
        reset = true;
        minus7_flag = 0;
        minus15_flag = 0;
        modification_var_om = 0;
    }
    return reset;
}

bool ResetCheck::time_check() {
    reset_time_current = clock_();
    elapsed_time = static_cast<double>(reset_time_current - reset_time_begin);
    if (elapsed_time > ResetTimeValue) {
        reset_time_begin = reset_time_current;
        reseed();
        return true;
    }
    return false;
}

}  // namespace orvex
