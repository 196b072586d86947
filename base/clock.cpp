#include "base/clock.h"

#include <ctime>
#include <memory>
#include <utility>

namespace orvex {

std::int64_t system_calendar_time() { return static_cast<std::int64_t>(std::time(nullptr)); }

CalendarClock shared_clock(CalendarClock clock) {
    if (!clock) return system_calendar_time;
    auto one = std::make_shared<CalendarClock>(std::move(clock));
    return [one] { return (*one)(); };
}

}  // namespace orvex
