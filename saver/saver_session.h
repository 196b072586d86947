// One saver run as every host drives it: everything between the window system
// and the automaton. The session owns the simulation, the scene with its
// lights and font, the picture texture, the link from each new seed to the
// next picture, the two timer intervals and the choice of when a frame is
// wanted; the host owns the window, the GL context, the timers (through a
// FramePacer, saver/frame_pacer.h) and the buffer swap.
//
// Life cycle, every GL-touching call with the host's context current:
//   init(width, height)  once: scene set-up, first picture, picture list,
//                        first seed, first reset interval;
//   resize(w, h)         on every size change;
//   tick()               on the simulation timer, every simulation_interval_ms():
//                        one step, the reset check, maybe a reseed with the
//                        next picture; uploads a picture that the worker has
//                        decoded meanwhile. Never draws. A frame is wanted
//                        after every tick;
//   redraw_wanted()      on the redraw timer (every kRedrawIntervalMs): whether
//                        that tick wants a frame. It does while lights move,
//                        and else only when the frame would differ from the
//                        last one drawn: the field changed, or the window was
//                        resized or exposed (expose()) since;
//   draw()               when the host has a frame to make and on paints: one
//                        frame into the back buffer; the host swaps;
//   release()            frees the font and the texture; the destructor does it
//                        when the host hasn't (the context must then still be
//                        current). A host whose context goes before the
//                        session calls release() first.
//
// Messages for the user (a damaged picture) are never shown from inside a
// call: they are queued, and the host takes them with take_message() after
// the call has returned (on Windows through host/win32/message_gate.h).
// tick() refuses to run inside itself, so whatever a message box's own
// message loop delivers, steps and reseeds never nest.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/clock.h"
#include "base/message_sink.h"
#include "base/random_source.h"
#include "picture/picture_schedule.h"
#include "picture/pictures.h"
#include "render/gl11/picture_texture.h"
#include "render/gl11/scene.h"
#include "render/gl11/text_font.h"
#include "render/renderer.h"
#include "saver/saver_start.h"
#include "seed/simulation.h"

namespace orvex {

constexpr unsigned kRedrawIntervalMs = 20;

// 750 / speed ms, integer division: speed 1..25 gives 750 down to 30 ms.
// A speed below 1 counts as 1.
unsigned simulation_interval_ms(int speed);

struct SessionMessage;

// Makes the renderer a session draws with, from the settings, the lights'
// clock and generator, where its failures go and the font of its text (the
// session's glyph source, may be null).
using RendererFactory = std::function<std::unique_ptr<FrameRenderer>(const Settings& settings, CalendarClock clock,
                                                                     std::unique_ptr<RandomSource> light_random,
                                                                     MessageSink& messages, GlyphSource* glyphs)>;

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
    GlyphSource* glyphs = nullptr;                  // the window system's font, for either renderer; null: no glyphs
    GlProcLoader gl_procs = nullptr;                // finds buffer objects; null: cells kept in client arrays
    std::shared_ptr<PictureWorker> picture_worker;  // decodes pictures; null: inline, within the tick
    PictureLoader picture_loader;                   // a renderer of its own only; null: LoadPicture
    // The renderer; null: the OpenGL 1.1 scene, whose pictures the picture
    // texture holds (where it is built in; the page must give one). Any
    // other takes each picture decoded (load_picture), listed, chosen and
    // decoded as for the OpenGL 1.1 scene, on the worker.
    RendererFactory renderer;
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
    // Shows a picture decoded meanwhile without a step (a paused host); true
    // when one was shown, and then a frame is wanted.
    bool show_ready_picture();
    // Whether a redraw tick wants a frame; false before init and after release.
    bool redraw_wanted() const;
    // The host's window was uncovered: the next redraw tick wants a frame.
    void expose() { exposed_ = true; }
    void draw();
    // The host's context was lost and is back: a new renderer from the host's
    // factory (with a fresh lights' generator), set up at the window's size,
    // with the picture shown before. The field runs on as it was.
    void renew_renderer();
    // The frame rate of the frames drawn over the last second, as text over
    // the frame just drawn (before the swap); line_height: the glyphs' in pixels.
    void draw_frame_rate(int line_height);
    void release();

    // The oldest message not yet taken, if any.
    std::optional<SessionMessage> take_message();
    bool has_message() const { return !messages_.queue.empty(); }

    bool initialised() const { return initialised_; }
    // Ticks refused because they came from inside a tick.
    std::int64_t nested_ticks() const { return nested_ticks_; }
    // Reseeds that came before their picture was decoded, and so kept the one before.
    int late_pictures() const {
        return decoded_ ? decoded_->late_pictures() : pictures_ ? pictures_->late_pictures() : 0;
    }
    // Read-only views for tools and tests.
    const Simulation& simulation() const { return simulation_; }
    // The OpenGL 1.1 scene's picture texture (sessions without a renderer of the host's only).
    const PictureTexture& pictures() const { return *pictures_; }
    // Which pictures show and when, whichever renderer shows them.
    const PictureSchedule& picture_schedule() const { return decoded_ ? *decoded_ : pictures_->schedule(); }

private:
    class QueuedMessages final : public MessageSink {
    public:
        void show(const std::string& caption, const std::string& text) override { queue.push_back({caption, text}); }
        std::deque<SessionMessage> queue;
    };

    // Frames drawn over the last second, as the frame-rate text shows them.
    struct FrameRate {
        using Clock = std::chrono::steady_clock;
        void frame(Clock::time_point now);
        Clock::time_point since = Clock::now();
        int frames = 0;
        char text[32] = "FPS: -";
    };

    void next_picture();

    CalendarClock clock_;  // one clock for seeding, reset check and lights
    Settings settings_;
    QueuedMessages messages_;
    std::unique_ptr<PictureTexture> pictures_;  // the OpenGL 1.1 scene's; null with the host's renderer
    std::unique_ptr<FrameRenderer> renderer_;
    RendererFactory renderer_factory_;  // the host's, kept for renew_renderer
    GlyphSource* glyphs_;               // the host's font, for a renewed renderer
    // The pictures of a renderer that takes them decoded (load_picture); null
    // for the OpenGL 1.1 scene, whose pictures_ hold them.
    std::unique_ptr<PictureSchedule> decoded_;
    Simulation simulation_;
    bool initialised_ = false;
    bool released_ = false;
    bool ticking_ = false;
    std::int64_t nested_ticks_ = 0;
    bool exposed_ = false;             // uncovered or resized since the last frame
    std::uint64_t shown_version_ = 0;  // field version of the last frame drawn
    int width_ = 0;
    int height_ = 0;
    FrameRate frame_rate_;
};

}  // namespace orvex
