#include "saver/saver_session.h"

#include <cstdio>
#include <utility>

#include "render/text_overlay.h"
#include "saver/frame_pacer.h"

namespace orvex {

namespace {

SceneServices scene_services(const PictureTexture& pictures, SessionServices& services, CalendarClock clock) {
    SceneServices s;
    s.pictures = &pictures;
    s.glyphs = services.glyphs;
    s.gl_procs = services.gl_procs;
    s.clock = std::move(clock);
    s.random = std::move(services.light_random);
    return s;
}

}  // namespace

void set_monitor_random(SessionServices& services, int monitor) {
    const auto salt = static_cast<std::uint32_t>(monitor < 0 ? 0 : monitor);
    auto salted = [salt](std::unique_ptr<RandomSource> inner) -> std::unique_ptr<RandomSource> {
        return std::make_unique<SaltedRandom>(inner ? std::move(inner) : std::make_unique<LcgRandom>(), salt);
    };
    services.seed_random = salted(std::move(services.seed_random));
    services.light_random = salted(std::move(services.light_random));
    services.picture_offset = monitor < 0 ? 0 : monitor;
}

unsigned simulation_interval_ms(int speed) {
    constexpr unsigned kSlowestMs = 750;
    return speed < 1 ? kSlowestMs : kSlowestMs / static_cast<unsigned>(speed);
}

SaverSession::SaverSession(SaverStart start, SessionServices services)
    : clock_(shared_clock(std::move(services.clock))),
      settings_(std::move(start.settings)),
      pictures_(settings_, start.pictures_folder, messages_, std::move(services.pictures_lister),
                std::move(services.picture_worker), services.picture_offset),
      scene_(settings_, scene_services(pictures_, services, clock_)),
      simulation_(settings_, std::move(start.pattern_matrix), clock_, std::move(services.seed_random)) {
    simulation_.set_picture_step([this] { next_picture(); });
}

SaverSession::~SaverSession() { release(); }

unsigned SaverSession::simulation_interval_ms() const { return orvex::simulation_interval_ms(settings_.speed); }

void SaverSession::init(int width, int height) {
    if (initialised_) return;
    scene_.GLSetupRC();
    pictures_.set_window_size(width, height);
    pictures_.load_first_picture();
    pictures_.list_pictures();
    scene_.GLResize(width, height);
    simulation_.start();
    width_ = width;
    height_ = height;
    initialised_ = true;
}

void SaverSession::resize(int width, int height) {
    if (!initialised_ || released_) return;
    scene_.GLResize(width, height);
    pictures_.set_window_size(width, height);
    width_ = width;
    height_ = height;
    exposed_ = true;
}

bool SaverSession::tick() {
    if (!initialised_ || released_) return false;
    if (ticking_) {
        ++nested_ticks_;
        return false;
    }
    ticking_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{ticking_};
    pictures_.upload_ready();
    return simulation_.tick();
}

bool SaverSession::redraw_wanted() const {
    if (!initialised_ || released_) return false;
    return exposed_ || redraw_tick_needs_frame(settings_.LightingNum, shown_version_, simulation_.field().version());
}

void SaverSession::draw() {
    if (!initialised_ || released_) return;
    scene_.GLRenderScene(simulation_.field());
    shown_version_ = simulation_.field().version();
    exposed_ = false;
    frame_rate_.frame(FrameRate::Clock::now());
}

void SaverSession::FrameRate::frame(Clock::time_point now) {
    ++frames;
    const double elapsed = std::chrono::duration<double>(now - since).count();
    if (elapsed < 1.0) return;
    std::snprintf(text, sizeof text, "FPS: %.1f", frames / elapsed);
    frames = 0;
    since = now;
}

void SaverSession::draw_frame_rate(int line_height) {
    if (initialised_ && !released_) draw_text_overlay(scene_.font(), width_, height_, line_height, frame_rate_.text);
}

void SaverSession::release() {
    if (!initialised_ || released_) return;
    released_ = true;
    scene_.GLFree();
    pictures_.free();
}

std::optional<SessionMessage> SaverSession::take_message() {
    if (messages_.queue.empty()) return std::nullopt;
    SessionMessage m = std::move(messages_.queue.front());
    messages_.queue.pop_front();
    return m;
}

// The picture step of every seeding: the next picture when cycling, loaded
// when pictures are on. A failure turns pictures off before its message is
// taken, so a damaged picture is met once per run.
void SaverSession::next_picture() { pictures_.picture_step(); }

}  // namespace orvex
