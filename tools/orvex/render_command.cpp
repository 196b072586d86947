// orvex render: the saver's frame drawn headless into PNG files, by the
// OpenGL 1.1 scene through OSMesa or by the OpenGL ES 3.0 renderer through EGL.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "base/freed_memory.h"
#include "render/gl11/osmesa_surface.h"
#include "render/gles3/egl_surface.h"
#include "render/gles3/gles3_renderer.h"
#include "saver/saver_session.h"
#include "tools/orvex/commands.h"
#include "tools/orvex/file_io.h"
#include "tools/orvex/png_file.h"

namespace orvex::tool {

namespace {

constexpr int kMaxSide = 8192;
constexpr int kMaxFrames = 1000;

struct RenderOptions {
    std::string settings;
    int width = 800;
    int height = 600;
    long long steps = 0;
    int frames = 1;
    std::string out = "frame.png";
    std::string renderer = "gl11";
    std::optional<std::int64_t> rng_seed;
};

void print_messages(SaverSession& session) {
    while (std::optional<SessionMessage> m = session.take_message()) {
        const std::string& text = m->text;
        std::cerr << "orvex: " << m->caption << ": " << text << (text.empty() || text.back() != '\n' ? "\n" : "");
    }
}

// An output name with one frame-number field such as "%03d" names every frame.
bool is_frame_pattern(const std::string& out) { return out.find('%') != std::string::npos; }
bool valid_frame_pattern(const std::string& out) {
    const std::size_t at = out.find('%');
    std::size_t k = at + 1;
    if (k < out.size() && out[k] == '0') ++k;
    if (k < out.size() && out[k] >= '1' && out[k] <= '9') ++k;
    return k < out.size() && out[k] == 'd' && out.find('%', k) == std::string::npos;
}

std::string frame_name(const std::string& pattern, int frame) {
    char name[4096];
    std::snprintf(name, sizeof name, pattern.c_str(), frame);
    return name;
}

int run_render(const RenderOptions& o) {
    if (is_frame_pattern(o.out) && !valid_frame_pattern(o.out)) {
        std::cerr << "orvex: --out '" << o.out << "': a frame pattern takes exactly one %d field, such as %03d\n";
        return kExitUsage;
    }
    SaverStart start = resolve_saver_start(files_beside(o.settings), o.width);
    if (!start.settings_error.empty()) {
        std::cerr << "orvex: " << start.settings_error << "\n";
        return kExitFile;
    }

    keep_freed_memory();
    const bool gles3 = o.renderer == "gles3";
    std::unique_ptr<OsMesaSurface> fixed;
    std::unique_ptr<EglSurface> shaded;
    SessionServices services;
    if (gles3) {
        shaded = std::make_unique<EglSurface>(o.width, o.height);
        if (!shaded->ok()) {
            std::cerr << "orvex: " << shaded->error() << "\n";
            return kExitFile;
        }
        services.renderer = [](const Settings& settings, CalendarClock clock, std::unique_ptr<RandomSource> random,
                               MessageSink& messages, GlyphSource* glyphs) -> std::unique_ptr<FrameRenderer> {
            Gles3Services s;
            s.gl_procs = EglSurface::gl_proc;
            s.messages = &messages;
            s.clock = std::move(clock);
            s.random = std::move(random);
            s.glyphs = glyphs;
            return std::make_unique<Gles3Renderer>(settings, std::move(s));
        };
    } else {
        fixed = std::make_unique<OsMesaSurface>(o.width, o.height);
        if (!fixed->ok()) {
            std::cerr << "orvex: " << fixed->error() << "\n";
            return kExitFile;
        }
        services.gl_procs = OsMesaSurface::gl_proc;
    }
    // A calendar clock that stands still: every seeding, light and reset
    // draws from the same seeds on every run.
    if (o.rng_seed) services.clock = [seed = *o.rng_seed] { return seed; };
    SaverSession session(std::move(start), std::move(services));
    session.init(o.width, o.height);
    print_messages(session);
    for (long long k = 0; k < o.steps; ++k) {
        session.tick();
        print_messages(session);
    }

    const bool every_frame = is_frame_pattern(o.out);
    int status = kExitOk;
    for (int f = 1; f <= o.frames && status == kExitOk; ++f) {
        session.draw();
        if (!every_frame && f < o.frames) continue;
        if (fixed) fixed->finish();
        const std::string name = every_frame ? frame_name(o.out, f) : o.out;
        std::string error;
        if (!write_png(name, o.width, o.height, fixed ? fixed->rgb_top_down() : shaded->rgb_top_down(), &error)) {
            std::cerr << "orvex: " << error << "\n";
            status = kExitFile;
        }
    }
    session.release();
    if (session.has_message()) print_messages(session);
    if (status == kExitOk)
        std::cout << "population " << session.simulation().field().population() << ", " << o.frames << " frame"
                  << (o.frames == 1 ? "" : "s") << " drawn, written to " << o.out << "\n";
    return status;
}

}  // namespace

CommandRun add_render_command(CLI::App& app) {
    auto o = std::make_shared<RenderOptions>();
    CLI::App* sub =
        app.add_subcommand("render", "Draw the saver's picture of a field into PNG files, without a window");
    sub->add_option("--settings", o->settings,
                    "Settings file (ss_ca_02.ini); Patterns2d and Pictures are the folders beside it")
        ->check(CLI::ExistingFile);
    sub->add_option("--width", o->width, "Picture width in pixels")->check(CLI::Range(1, kMaxSide));
    sub->add_option("--height", o->height, "Picture height in pixels")->check(CLI::Range(1, kMaxSide));
    sub->add_option("--steps", o->steps, "Generations to run before drawing")->check(CLI::NonNegativeNumber);
    sub->add_option("--frames", o->frames, "Frames to draw; the lights move with every frame")
        ->check(CLI::Range(1, kMaxFrames));
    sub->add_option("--out", o->out,
                    "PNG file for the last frame, or a pattern such as frame-%03d.png for every frame");
    sub->add_option("--renderer", o->renderer,
                    "gl11: the OpenGL 1.1 scene the savers draw with (OSMesa); gles3: the OpenGL ES 3.0 renderer "
                    "(EGL, surfaceless)")
        ->check(CLI::IsMember({"gl11", "gles3"}));
    sub->add_option("--rng-seed", o->rng_seed,
                    "Hold the calendar clock at S seconds, so that seeding, lights and pictures repeat exactly");
    return [o] { return run_render(*o); };
}

}  // namespace orvex::tool
