#include "host/win32/tick_group.h"

#include <gtest/gtest.h>

#include <string>

namespace orvex {
namespace {

// Each tick goes to all, each keeps its redraw skip, the timers move on when their holder goes.
TEST(TickGroup, EveryMemberTicksAndTheTimersMoveOn) {
    std::string log;
    auto loop = [&](std::string n, bool changed) {
        return FramePacer([&log, n] { log += n + "-step "; }, [&log, n] { log += n + "-frame "; },
                          [=] { return changed; });
    };
    FramePacer a = loop("a", false), b = loop("b", true), c = loop("c", true);
    TickGroup group;
    group.join(a, [&] { log += "timers-a "; });
    group.join(b, [&] { log += "timers-b "; });
    group.join(c, [&] { log += "timers-c "; });
    group.on_timer(kSimulationTimerId);
    group.on_timer(kRedrawTimerId);
    group.leave(b);  // not the holder: the timers stay
    group.leave(a);
    group.restart();  // after a rest: the holder alone
    EXPECT_EQ(log, "timers-a a-step a-frame b-step b-frame c-step c-frame b-frame c-frame timers-c timers-c ");
}

}  // namespace
}  // namespace orvex
