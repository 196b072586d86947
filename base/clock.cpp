#include "base/clock.h"

#include <ctime>

namespace orvex {

std::int64_t system_calendar_time() { return static_cast<std::int64_t>(std::time(nullptr)); }

}  // namespace orvex
