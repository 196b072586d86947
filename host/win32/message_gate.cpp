#include "host/win32/message_gate.h"

namespace orvex {

MessageGate::MessageGate(Show show) : state_(std::make_shared<State>()) { state_->show = std::move(show); }

void MessageGate::show_pending(std::shared_ptr<SaverSession> session) {
    // From here on only the locals: the gate itself may be gone when a box returns.
    const std::shared_ptr<State> state = state_;
    if (!session || state->showing || state->closed) return;
    state->showing = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{state->showing};
    while (!state->closed) {
        std::optional<SessionMessage> m = session->take_message();
        if (!m) break;
        ++state->shown;
        state->show(*m);
    }
}

}  // namespace orvex
