// The host's side of the session's messages: after a call into the session
// has returned, shows what it queued, one message at a time. A modal message
// box runs a message loop of its own that goes on delivering timer ticks;
// when such a tick asks to show messages while a box is up, nothing more is
// shown: the messages wait, and the box's owner shows them once it closes.
//
// The same loop can deliver the close of the whole saver (deactivation, end
// task, log-off), which destroys the window that owns the gate and the
// session while the box is still up. So the call holds both for its whole
// length, and the gate's state lives apart from the gate: when the box
// returns, it returns into live objects, sees that the gate was closed and
// shows nothing more. Whoever destroys the window closes the gate and
// releases the session (while its GL context is still current) first.
//
// Portable code: it builds natively too, so its tests run under the sanitizers.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "saver/saver_session.h"

namespace orvex {

class MessageGate {
public:
    using Show = std::function<void(const SessionMessage&)>;
    explicit MessageGate(Show show);
    MessageGate(const MessageGate&) = delete;
    MessageGate& operator=(const MessageGate&) = delete;
    ~MessageGate() { close(); }

    void show_pending(std::shared_ptr<SaverSession> session);
    // No box opens after this, and one that is up is the last.
    void close() { state_->closed = true; }
    bool showing() const { return state_->showing; }
    int shown() const { return state_->shown; }

private:
    struct State {
        Show show;
        bool showing = false;
        bool closed = false;
        int shown = 0;
    };
    std::shared_ptr<State> state_;
};

// The messages of several sessions of one run (one per monitor, all meeting
// the same damaged picture): each caption and text is shown once per run.
class RunMessages {
public:
    // True the first time this message is met.
    bool first_time(const SessionMessage& m) { return seen_.insert({m.caption, m.text}).second; }

private:
    std::set<std::pair<std::string, std::string>> seen_;
};

}  // namespace orvex
