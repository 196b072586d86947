// The calendar clock that the seeding, the reset check and the lights read.
// Hosts and tests inject their own; a null clock means the system's.
#pragma once

#include <cstdint>
#include <functional>

namespace orvex {

// Calendar time in whole seconds, like time().
using CalendarClock = std::function<std::int64_t()>;
std::int64_t system_calendar_time();

// One clock that several readers share, whatever state it keeps: copies call
// the same callable. A null clock gives the system's.
CalendarClock shared_clock(CalendarClock clock);

}  // namespace orvex
