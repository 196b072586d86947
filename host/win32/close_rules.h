// When the saver closes: the frame's closing rules as a small state machine, fed
// with input already unpacked from the platform's messages.
//
// Full screen, a key or button press, a cursor position off the one recorded at
// start (by one pixel is enough) or a deactivation with the cursor off it asks
// to close, once; from then on the saver's own procedure sees no more timer,
// paint, input or activation messages. The system menu's close, screen-save and
// window-switch commands are swallowed. A preview never closes on input.
#pragma once

namespace orvex {

struct CursorPos {
    int x = 0;
    int y = 0;
    friend bool operator==(CursorPos a, CursorPos b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(CursorPos a, CursorPos b) { return !(a == b); }
};

enum class FrameInput {
    KeyDown,     // key or system key pressed
    ButtonDown,  // left, right or middle mouse button pressed
    MouseMove,
    Deactivate,
    Activate,
};

enum class SystemCommand { Close, ScreenSave, WindowSwitch, Other };

// What a message class is, for the question whether it still reaches the saver.
enum class MessageKind { Timer, Paint, Input, Activation, Other };

enum class Verdict {
    PassOn,        // default handling
    RequestClose,  // post the close request now
    Swallow,       // handled: nothing more to do
};

class CloseRules {
public:
    explicit CloseRules(bool full_screen) : full_screen_(full_screen) {}

    bool full_screen() const { return full_screen_; }
    bool closing() const { return closing_; }

    // The cursor position to compare moves against (at creation).
    void record_cursor(CursorPos at) { recorded_ = at; }

    Verdict on_input(FrameInput input, CursorPos cursor);
    Verdict on_system_command(SystemCommand command) const;
    // Whether a message of this kind is still handed to the saver's procedure.
    bool reaches_saver(MessageKind kind) const;

private:
    Verdict request_close();

    bool full_screen_;
    bool closing_ = false;
    CursorPos recorded_;
};

}  // namespace orvex
