#include "host/web/page_run.h"

#include <chrono>
#include <fstream>
#include <system_error>

#include "config/settings_file.h"

namespace orvex::web {

namespace {

constexpr unsigned kPageRedrawIntervalMs = 20;

// The simulation timer's period: 750 / speed ms, integer division.
unsigned interval_ms(int speed) { return 750u / static_cast<unsigned>(speed < 1 ? 1 : speed); }

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

std::filesystem::path page_maker_folder() { return "/orvex"; }

std::string corrected_settings_text(const std::string& text) {
    return format_settings_file(parse_dialog_settings(text));
}

CalendarClock clock_from_seed(std::int64_t seed) {
    const auto begin = std::chrono::steady_clock::now();
    return [seed, begin] {
        const auto elapsed = std::chrono::steady_clock::now() - begin;
        return seed + std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    };
}

PageRun::PageRun(const std::optional<std::string>& settings_text, int width, std::optional<std::int64_t> seed,
                 std::int64_t steps) {
    write_settings_file(settings_text);
    start_ = resolve_saver_start(files_in_maker_folder(page_maker_folder()), width);
    simulation_ = std::make_unique<Simulation>(start_.settings, start_.pattern_matrix,
                                               seed ? clock_from_seed(*seed) : CalendarClock{});
    simulation_->start();
    for (std::int64_t i = 0; i < steps; ++i) {
        simulation_->tick();
        ++steps_;
    }
    pacer_ = std::make_unique<FramePacer>(
        [this] {
            simulation_->tick();
            ++steps_;
        },
        [this] { frame_wanted_ = true; },
        [this] {
            return redraw_tick_needs_frame(start_.settings.LightingNum, shown_version_, simulation_->field().version());
        });
    pacer_->start(std::chrono::milliseconds(interval_ms(start_.settings.speed)),
                  std::chrono::milliseconds(kPageRedrawIntervalMs), FramePacer::Clock::now());
}

bool PageRun::frame(bool may_draw) {
    pacer_->poll(FramePacer::Clock::now());
    if (!frame_wanted_ || !may_draw) return false;
    frame_wanted_ = false;
    shown_version_ = simulation_->field().version();
    ++frames_;
    return true;
}

RunCounts PageRun::counts() const { return {steps_, frames_, simulation_->resets(), simulation_->generation()}; }

}  // namespace orvex::web
