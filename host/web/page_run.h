// One saver run in the page, without the browser: the run's start from the
// stored settings text (read by the same settings file code as on Windows and
// Linux, through an in-memory maker folder), the simulation and the frame
// pacer's own deadlines, polled from the page's animation callback.
//
// The page calls frame() once per animation frame while it is visible and not
// paused: the pacer runs the ticks that are due (each timer at most once, so a
// page that was hidden or paused does not catch up), and a frame is made only
// when one was asked for since the last one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "saver/frame_pacer.h"
#include "saver/saver_start.h"
#include "seed/simulation.h"

namespace orvex::web {

// The maker folder of the page: "ss_ca_02.ini", "Patterns2d" and "Pictures".
std::filesystem::path page_maker_folder();

// The settings text the page keeps, brought through the dialog reading's range
// rules and written back as the settings file writes it (18 lines, CR LF).
std::string corrected_settings_text(const std::string& text);

// A calendar clock that starts at seed and runs on with real time: the first
// seeding reads seed, as `orvex render --rng-seed seed` does.
CalendarClock clock_from_seed(std::int64_t seed);

struct RunCounts {
    std::int64_t steps = 0;  // simulation ticks since the run started
    std::int64_t frames = 0;
    std::int64_t resets = 0;
    std::int64_t generation = 0;  // steps since the last seeding
};

class PageRun {
public:
    // settings_text: the stored settings, or nothing for the start values.
    // width: the canvas's width in device pixels (the picture-width rule).
    // steps: simulation ticks run before the first frame.
    PageRun(const std::optional<std::string>& settings_text, int width, std::optional<std::int64_t> seed,
            std::int64_t steps);
    PageRun(const PageRun&) = delete;
    PageRun& operator=(const PageRun&) = delete;

    // Polls the pacer; true when a frame is due and may_draw allows it (a frame
    // held back stays due).
    bool frame(bool may_draw);
    // The next frame is due whatever the field did (a resize, a restored context).
    void expose() { frame_wanted_ = true; }

    const Settings& settings() const { return start_.settings; }
    const Simulation& simulation() const { return *simulation_; }
    Simulation& simulation() { return *simulation_; }
    RunCounts counts() const;

private:
    SaverStart start_;
    std::unique_ptr<Simulation> simulation_;
    std::unique_ptr<FramePacer> pacer_;
    bool frame_wanted_ = true;
    std::uint64_t shown_version_ = 0;
    std::int64_t steps_ = 0;
    std::int64_t frames_ = 0;
};

}  // namespace orvex::web
