#include "host/win32/display_rest.h"

namespace orvex {

namespace {
constexpr unsigned long kDisplayOff = 0;
}

RestChange DisplayRest::settle(bool was_resting) const {
    if (was_resting == resting()) return RestChange::None;
    return resting() ? RestChange::Rest : RestChange::Wake;
}

RestChange DisplayRest::on_display_state(unsigned long state) {
    const bool was = resting();
    display_off_ = state == kDisplayOff;
    return settle(was);
}

RestChange DisplayRest::on_visible(bool visible) {
    const bool was = resting();
    hidden_ = !visible;
    return settle(was);
}

}  // namespace orvex
