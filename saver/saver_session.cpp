#include "saver/saver_session.h"

#include <cstdio>
#include <utility>

#if ORVEX_GL11_SCENE
#include "render/gl11/gl11_renderer.h"
#endif
#include "saver/frame_pacer.h"

namespace orvex {

namespace {

std::unique_ptr<FrameRenderer> make_renderer(const Settings& settings, PictureTexture* pictures,
                                             SessionServices& services, CalendarClock clock, MessageSink& messages) {
    if (services.renderer)
        return services.renderer(settings, std::move(clock), std::move(services.light_random), messages,
                                 services.glyphs);
#if !ORVEX_GL11_SCENE
    (void)pictures;
    return nullptr;
#else
    SceneServices s;
    s.glyphs = services.glyphs;
    s.gl_procs = services.gl_procs;
    s.clock = std::move(clock);
    s.random = std::move(services.light_random);
    return std::make_unique<Gl11Renderer>(settings, std::move(s), pictures);
#endif
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
      renderer_factory_(services.renderer),
      glyphs_(services.glyphs),
      simulation_(settings_, std::move(start.pattern_matrix), clock_, std::move(services.seed_random)) {
    const bool decoded = static_cast<bool>(services.renderer);
#if ORVEX_GL11_SCENE
    if (!decoded)
        pictures_ =
            std::make_unique<PictureTexture>(settings_, start.pictures_folder, messages_, services.pictures_lister,
                                             services.picture_worker, services.picture_offset);
#endif
    renderer_ = make_renderer(settings_, pictures_.get(), services, clock_, messages_);
    // A renderer of its own takes the pictures that the same schedule as the
    // OpenGL 1.1 texture's decodes, on the same worker.
    if (decoded)
        decoded_ = std::make_unique<PictureSchedule>(
            settings_, start.pictures_folder, messages_,
            [this](const RgbImage& image) { return renderer_->load_picture(image); }, services.pictures_lister,
            std::move(services.picture_worker), services.picture_offset, std::move(services.picture_loader));
    simulation_.set_picture_step([this] { next_picture(); });
}

SaverSession::~SaverSession() { release(); }

unsigned SaverSession::simulation_interval_ms() const { return orvex::simulation_interval_ms(settings_.speed); }

void SaverSession::init(int width, int height) {
    if (initialised_ || !renderer_) return;
    renderer_->setup();
    if (decoded_) {
        decoded_->set_max_texture_size(renderer_->max_texture_size());
        decoded_->set_window_size(width, height);
        decoded_->load_first_picture();
        decoded_->list_pictures();
    } else {
#if ORVEX_GL11_SCENE
        pictures_->set_window_size(width, height);
        pictures_->load_first_picture();
        pictures_->list_pictures();
#endif
    }
    renderer_->resize(width, height);
    simulation_.start();
    width_ = width;
    height_ = height;
    initialised_ = true;
}

void SaverSession::resize(int width, int height) {
    if (!initialised_ || released_) return;
    renderer_->resize(width, height);
    if (decoded_) {
        decoded_->set_window_size(width, height);
    } else {
#if ORVEX_GL11_SCENE
        pictures_->set_window_size(width, height);
#endif
    }
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
    if (decoded_) {
        decoded_->upload_ready();
    } else {
#if ORVEX_GL11_SCENE
        pictures_->upload_ready();
#endif
    }
    return simulation_.tick();
}

bool SaverSession::show_ready_picture() {
    if (!initialised_ || released_ || ticking_ || !decoded_) return false;
    const int shown = decoded_->shown_pictures();
    decoded_->upload_ready();
    if (decoded_->shown_pictures() == shown) return false;
    exposed_ = true;
    return true;
}

bool SaverSession::redraw_wanted() const {
    if (!initialised_ || released_) return false;
    return exposed_ || redraw_tick_needs_frame(settings_.LightingNum, shown_version_, simulation_.field().version());
}

void SaverSession::draw() {
    if (!initialised_ || released_) return;
    renderer_->draw_frame(simulation_.field());
    shown_version_ = simulation_.field().version();
    exposed_ = false;
    frame_rate_.frame(FrameRate::Clock::now());
}

void SaverSession::renew_renderer() {
    if (!initialised_ || released_ || !renderer_factory_) return;
    renderer_->release();
    renderer_ = renderer_factory_(settings_, clock_, std::make_unique<LcgRandom>(), messages_, glyphs_);
    renderer_->setup();
    renderer_->resize(width_, height_);
    if (decoded_) {
        decoded_->set_max_texture_size(renderer_->max_texture_size());
        decoded_->reload();
    }
    exposed_ = true;
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
    if (initialised_ && !released_) renderer_->draw_text(width_, height_, line_height, frame_rate_.text);
}

void SaverSession::release() {
    if (!initialised_ || released_) return;
    released_ = true;
    renderer_->release();
#if ORVEX_GL11_SCENE
    if (!decoded_) pictures_->free();
#endif
}

std::optional<SessionMessage> SaverSession::take_message() {
    if (messages_.queue.empty()) return std::nullopt;
    SessionMessage m = std::move(messages_.queue.front());
    messages_.queue.pop_front();
    return m;
}

// The picture step of every seeding: the next picture when cycling, shown
// when pictures are on. A failure turns pictures off before its message is
// taken, so a damaged picture is met once per run.
void SaverSession::next_picture() {
    if (decoded_) {
        decoded_->picture_step();
    } else {
#if ORVEX_GL11_SCENE
        pictures_->picture_step();
#endif
    }
}

}  // namespace orvex
