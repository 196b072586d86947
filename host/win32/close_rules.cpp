#include "host/win32/close_rules.h"

namespace orvex {

Verdict CloseRules::request_close() {
    if (closing_) return Verdict::PassOn;  // one request is enough
    closing_ = true;
    return Verdict::RequestClose;
}

Verdict CloseRules::on_input(FrameInput input, CursorPos cursor) {
    if (!full_screen_) return Verdict::PassOn;
    switch (input) {
        case FrameInput::KeyDown:
        case FrameInput::ButtonDown: return request_close();
        case FrameInput::MouseMove:
        case FrameInput::Deactivate: return cursor != recorded_ ? request_close() : Verdict::PassOn;
        case FrameInput::Activate: return Verdict::PassOn;
    }
    return Verdict::PassOn;
}

Verdict CloseRules::on_system_command(SystemCommand command) const {
    if (!full_screen_ || command == SystemCommand::Other) return Verdict::PassOn;
    return Verdict::Swallow;
}

bool CloseRules::reaches_saver(MessageKind kind) const { return !closing_ || kind == MessageKind::Other; }

}  // namespace orvex
