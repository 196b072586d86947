// When the saver rests: while the display is off, or while its window cannot
// be seen (a preview on a settings page that is hidden), it steps no
// generation and draws no frame. The platform reports the console display as
// 0 off, 1 on or 2 dimmed; dimmed is still lit, so it counts as on, and so
// does any other value. Waking, the saver goes on from where it was: its
// timers start again from that moment, so the next step comes one interval
// later and the time spent resting is not made up.
#pragma once

namespace orvex {

enum class RestChange {
    None,  // nothing to do
    Rest,  // stop the timers; ticks and paints that still come do nothing
    Wake,  // start the timers again from now, and ask for one frame
};

class DisplayRest {
public:
    RestChange on_display_state(unsigned long state);
    RestChange on_visible(bool visible);
    bool resting() const { return display_off_ || hidden_; }

private:
    RestChange settle(bool was_resting) const;

    bool display_off_ = false;
    bool hidden_ = false;
};

}  // namespace orvex
