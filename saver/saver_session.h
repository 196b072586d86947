// One saver run as every host drives it: everything between the window system
// and the automaton. The session owns the simulation, the scene with its
// lights and font, the picture texture and the link from each new seed to the
// next picture; the host owns the window, the GL context, the two timers and
// the buffer swap.
//
// Life cycle, every GL-touching call with the host's context current:
//   init(width, height)  once: scene set-up, first picture, picture list,
//                        first seed, first reset interval;
//   resize(w, h)         on every size change;
//   tick()               on the simulation timer, every simulation_interval_ms():
//                        one step, the reset check, maybe a reseed with the
//                        next picture; uploads a picture that the worker has
//                        decoded meanwhile. Never draws;
//   draw()               on the redraw timer (every kRedrawIntervalMs) and on
//                        paints: one frame into the back buffer; the host swaps;
//   release()            frees the font and the texture; the destructor does it
//                        when the host hasn't (the context must then still be
//                        current). A host whose context goes before the
//                        session calls release() first.
//
// Messages for the user (a damaged picture) are never shown from inside a
// call: they are queued, and the host takes them with take_message() after
// the call has returned. MessageGate below is the host side of that.
// tick() refuses to run inside itself, so whatever a message box's own
// message loop delivers, steps and reseeds never nest.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "base/clock.h"
#include "base/random_source.h"
#include "base/message_sink.h"
#include "render/picture_texture.h"
#include "render/pictures.h"
#include "render/scene.h"
#include "render/text_font.h"
#include "saver/saver_start.h"
#include "seed/simulation.h"

namespace orvex {

constexpr unsigned kRedrawIntervalMs = 20;

// 750 / speed ms, integer division: speed 1..25 gives 750 down to 30 ms.
// A speed below 1 counts as 1.
unsigned simulation_interval_ms(int speed);

struct SessionMessage {
    std::string caption;
    std::string text;
};

// What the session takes from its surroundings; every null is replaced by the
// real thing, so tests can build independent sessions.
struct SessionServices {
    CalendarClock clock;                            // null: the system clock; read by seeding, reset and lights
    std::unique_ptr<RandomSource> seed_random;      // null: an LcgRandom
    std::unique_ptr<RandomSource> light_random;     // null: an LcgRandom
    PictureLister pictures_lister;                  // null: lists the start's pictures folder
    GlyphSource* glyphs = nullptr;                  // the window system's font; null: no glyphs
    GlProcLoader gl_procs = nullptr;                // finds buffer objects; null: cells kept in client arrays
    std::shared_ptr<PictureWorker> picture_worker;  // decodes pictures; null: inline, within the tick
    // Where picture cycling starts: this many pictures past the stored one
    // (each monitor's session its own).
    int picture_offset = 0;
};

// The random sources of the session of monitor `monitor` (0 first) when each
// monitor has a field of its own: the first keeps the clock seed, every other
// draws apart from it, fields and lights alike.
void set_monitor_random(SessionServices& services, int monitor);

class SaverSession {
public:
    explicit SaverSession(SaverStart start, SessionServices services = {});
    SaverSession(const SaverSession&) = delete;
    SaverSession& operator=(const SaverSession&) = delete;
    ~SaverSession();

    // The settings as resolved at start-up; they never change during the run.
    const Settings& settings() const { return settings_; }
    unsigned simulation_interval_ms() const;
    static constexpr unsigned redraw_interval_ms() { return kRedrawIntervalMs; }

    void init(int width, int height);
    // A height of 0 (a minimised window) counts as 1.
    void resize(int width, int height);
    // One simulation tick; true when its check reseeded the field. Does nothing
    // (false) before init, after release, and when called from inside a tick.
    bool tick();
    void draw();
    void release();

    // The oldest message not yet taken, if any.
    std::optional<SessionMessage> take_message();
    bool has_message() const { return !messages_.queue.empty(); }

    bool initialised() const { return initialised_; }
    // Ticks refused because they came from inside a tick.
    std::int64_t nested_ticks() const { return nested_ticks_; }
    const Simulation& simulation() const { return simulation_; }
    const PictureTexture& pictures() const { return pictures_; }
    const Scene& scene() const { return scene_; }
    // The scene's font, for hosts that print on the frame (after draw(), before the swap).
    TextFont& font() { return scene_.font(); }

private:
    class QueuedMessages final : public MessageSink {
    public:
        void show(const std::string& caption, const std::string& text) override { queue.push_back({caption, text}); }
        std::deque<SessionMessage> queue;
    };

    void next_picture();

    CalendarClock clock_;  // one clock for seeding, reset check and lights
    Settings settings_;
    QueuedMessages messages_;
    PictureTexture pictures_;
    Scene scene_;
    Simulation simulation_;
    bool initialised_ = false;
    bool released_ = false;
    bool ticking_ = false;
    std::int64_t nested_ticks_ = 0;
};

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
