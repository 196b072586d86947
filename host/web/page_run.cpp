#include "host/web/page_run.h"

#include <chrono>
#include <fstream>
#include <system_error>
#include <utility>

#include "config/settings_file.h"
#include "render/gles3/gles3_renderer.h"

namespace orvex::web {

namespace {

// The frame-rate text's glyph height in device pixels.
constexpr int kTextLineHeight = 16;

void write_settings_file(const std::optional<std::string>& text) {
    const std::filesystem::path file = page_maker_folder() / kSettingsFileName;
    std::error_code ec;
    std::filesystem::create_directories(page_maker_folder(), ec);
    if (!text) {
        std::filesystem::remove(file, ec);
        return;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << *text;
}

}  // namespace

bool PageGlyphSource::glyph_bitmaps(int first, int count, GlyphBitmaps& out) {
    constexpr int kScale = 2;
    if (first < kFirstGlyph || count < 0 || first - kFirstGlyph + count > kGlyphCount) return false;
    GlyphBitmaps cells;
    cells.width = cells.height = 8 * kScale;
    cells.descent = 0;  // the cell's foot on the text line, as the page has always drawn it
    cells.pixels.resize(static_cast<std::size_t>(cells.width) * static_cast<std::size_t>(cells.height) *
                        static_cast<std::size_t>(count));
    std::size_t at = 0;
    for (int c = 0; c < count; ++c) {
        const auto& rows = glyphs_[static_cast<std::size_t>(first - kFirstGlyph + c)];
        for (int y = 0; y < cells.height; ++y)
            for (int x = 0; x < cells.width; ++x)
                cells.pixels[at++] = (rows[static_cast<std::size_t>(y / kScale)] >> (7 - x / kScale)) & 1;
    }
    out = std::move(cells);
    return true;
}

std::filesystem::path page_maker_folder() { return "/orvex"; }

CalendarClock clock_from_seed(std::int64_t seed) {
    const auto begin = std::chrono::steady_clock::now();
    return [seed, begin] {
        const auto elapsed = std::chrono::steady_clock::now() - begin;
        return seed + std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    };
}

PageRun::PageRun(const std::optional<std::string>& settings_text, int width, int height,
                 std::optional<std::int64_t> seed, std::int64_t steps, Gles3ProcLoader gl_procs,
                 const PageGlyphs& glyphs)
    : glyphs_(glyphs) {
    write_settings_file(settings_text);
    SessionServices services;
    if (seed) services.clock = clock_from_seed(*seed);
    // The browser decodes the pictures beside the animation; the run takes them when they are ready.
    pictures_ = std::make_shared<PagePictureWorker>();
    services.picture_worker = pictures_;
    services.picture_loader = page_load_picture;
    services.glyphs = &glyphs_;
    services.renderer = [gl_procs](const Settings& settings, CalendarClock clock, std::unique_ptr<RandomSource> random,
                                   MessageSink& messages, GlyphSource* font) -> std::unique_ptr<FrameRenderer> {
        Gles3Services s;
        s.gl_procs = gl_procs;
        s.messages = &messages;
        s.clock = std::move(clock);
        s.random = std::move(random);
        s.glyphs = font;
        return std::make_unique<Gles3Renderer>(settings, std::move(s));
    };
    session_ = std::make_unique<SaverSession>(resolve_saver_start(files_in_maker_folder(page_maker_folder()), width),
                                              std::move(services));
    session_->init(width, height);
    steps_left_ = steps;
    pacer_ = std::make_unique<FramePacer>(
        [this] {
            session_->tick();
            ++steps_;
        },
        [this] { frame_wanted_ = true; }, [this] { return session_->redraw_wanted(); });
    if (steps_left_ == 0) start_pacer();
}

void PageRun::start_pacer() {
    pacer_->start(std::chrono::milliseconds(session_->simulation_interval_ms()),
                  std::chrono::milliseconds(SaverSession::redraw_interval_ms()), FramePacer::Clock::now());
}

bool PageRun::frame(bool may_draw, double budget_ms, bool paused) {
    if (steps_left_ > 0) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double, std::milli>(budget_ms);
        while (steps_left_ > 0 && std::chrono::steady_clock::now() < until) {
            session_->tick();
            ++steps_;
            --steps_left_;
        }
        // The moment is drawn when it is reached; meanwhile only the page's progress line moves.
        if (steps_left_ > 0) return false;
        start_pacer();
        frame_wanted_ = true;
    } else if (paused) {
        if (session_->show_ready_picture()) frame_wanted_ = true;
    } else {
        pacer_->poll(FramePacer::Clock::now());
    }
    if (paused && frames_ == 0 && session_->picture_schedule().waiting()) return false;
    if (!frame_wanted_ || !may_draw) return false;
    frame_wanted_ = false;
    return true;
}

void PageRun::draw(bool frame_rate) {
    session_->draw();
    if (frame_rate) session_->draw_frame_rate(kTextLineHeight);
    ++frames_;
}

void PageRun::resize(int width, int height) {
    session_->resize(width, height);
    frame_wanted_ = true;
}

void PageRun::context_restored() {
    session_->renew_renderer();
    frame_wanted_ = true;
}

RunCounts PageRun::counts() const {
    const Simulation& sim = session_->simulation();
    return {steps_, frames_, sim.resets(), sim.generation()};
}

}  // namespace orvex::web
