// Several frame pacers on one pair of platform timers (one saver per monitor):
// each tick goes to every member in the order they joined, so all sessions
// step together and each keeps its own redraw skip. One member holds the
// timers: the first to join, and when it leaves, the next in line.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "saver/frame_pacer.h"

namespace orvex {

class TickGroup {
public:
    // take_timers starts the two timers on the member's window; it runs once
    // the member becomes the holder.
    void join(FramePacer& pacer, std::function<void()> take_timers);
    void leave(FramePacer& pacer);
    void on_timer(unsigned id) const;
    // Has the holder start the timers again (after they were stopped).
    void restart() const;
    std::size_t size() const { return members_.size(); }

private:
    struct Member {
        FramePacer* pacer;
        std::function<void()> take_timers;
    };
    std::vector<Member> members_;
};

}  // namespace orvex
