// One saver run in the page: the run's start from the stored settings text
// (read by the same settings file code as on Windows and Linux, through an
// in-memory maker folder), the saver session drawing with the OpenGL ES 3.0
// renderer into the page's WebGL 2 canvas, and the frame pacer's own
// deadlines at the session's intervals, polled from the page's animation
// callback.
//
// The page calls frame() once per animation frame while it is visible and not
// paused: the pacer runs the ticks that are due (each timer at most once, so a
// page that was hidden or paused does not catch up), and frame() says whether
// a frame was asked for since the last one; the page then calls draw().
// A run that starts after many steps (a link's moment) runs them a slice of
// time per frame and draws the field when they are done, when the pacer
// starts, so the page answers throughout.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "host/web/page_codecs.h"
#include "render/gles3/gles3_api.h"
#include "render/glyph_source.h"
#include "saver/frame_pacer.h"
#include "saver/saver_session.h"

namespace orvex::web {

// The maker folder of the page: "ss_ca_02.ini", "Patterns2d" and "Pictures".
std::filesystem::path page_maker_folder();

// A calendar clock that starts at seed and runs on with real time: the first
// seeding reads seed, as `orvex render --rng-seed seed` does.
CalendarClock clock_from_seed(std::int64_t seed);

// The frame-rate text's glyphs, from the browser's font: 8 x 8 bits per
// character 32..127, one byte per row from the top, the highest bit leftmost.
using PageGlyphs = std::array<std::array<std::uint8_t, 8>, 96>;

// The browser font's glyphs as the renderer asks a window system's font for
// them: each bit two pixels wide and two rows high (16 x 16 cells), as the
// frame-rate text's 16-pixel line wants. WebGL has no display lists.
class PageGlyphSource final : public GlyphSource {
public:
    explicit PageGlyphSource(const PageGlyphs& glyphs) : glyphs_(glyphs) {}
    void make_glyph_lists(int, int, unsigned) override {}
    bool glyph_bitmaps(int first, int count, GlyphBitmaps& out) override;

private:
    PageGlyphs glyphs_;
};

struct RunCounts {
    std::int64_t steps = 0;  // simulation ticks since the run started
    std::int64_t frames = 0;
    std::int64_t resets = 0;
    std::int64_t generation = 0;  // steps since the last seeding
};

class PageRun {
public:
    // settings_text: the stored settings, or nothing for the start values.
    // width, height: the canvas in device pixels; its WebGL 2 context current,
    // its entry points found through gl_procs.
    // steps: simulation ticks run before the pacer starts, within frame().
    PageRun(const std::optional<std::string>& settings_text, int width, int height, std::optional<std::int64_t> seed,
            std::int64_t steps, Gles3ProcLoader gl_procs, const PageGlyphs& glyphs);
    PageRun(const PageRun&) = delete;
    PageRun& operator=(const PageRun&) = delete;

    // Polls the pacer, or while steps are left runs them for up to budget_ms;
    // true when a frame is due and may_draw allows it (a frame held back
    // stays due). Paused, no step is taken but those left, and a picture that
    // came is shown; the run's first frame then waits for its first picture,
    // so that a still moment is drawn whole.
    bool frame(bool may_draw, double budget_ms = 8, bool paused = false);
    // Steps still to run before the pacer starts.
    std::int64_t steps_left() const { return steps_left_; }
    // One frame into the canvas, with the frame-rate text when asked for.
    void draw(bool frame_rate);
    // The canvas's new size in device pixels; the next frame is due.
    void resize(int width, int height);
    // The next frame is due whatever the field did.
    void expose() { frame_wanted_ = true; }
    // The context came back after a loss: the renderer is built again.
    void context_restored();

    std::optional<SessionMessage> take_message() { return session_->take_message(); }
    const Settings& settings() const { return session_->settings(); }
    const Simulation& simulation() const { return session_->simulation(); }
    SaverSession& session() { return *session_; }
    PagePictureWorker& pictures() { return *pictures_; }
    RunCounts counts() const;

private:
    void start_pacer();

    PageGlyphSource glyphs_;
    std::shared_ptr<PagePictureWorker> pictures_;
    std::unique_ptr<SaverSession> session_;
    std::unique_ptr<FramePacer> pacer_;
    bool frame_wanted_ = true;
    std::int64_t steps_ = 0;
    std::int64_t steps_left_ = 0;
    std::int64_t frames_ = 0;
};

}  // namespace orvex::web
