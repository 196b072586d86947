// orvex render: the saver's frame drawn headless (OSMesa) into PNG files.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "config/settings.h"
#include "config/settings_file.h"
#include "render/osmesa_surface.h"
#include "render/scene.h"
#include "seed/pattern_file.h"
#include "seed/simulation.h"
#include "tools/orvex/commands.h"
#include "tools/orvex/file_io.h"
#include "tools/orvex/png_file.h"

namespace orvex::tool {

namespace {

constexpr int kMaxSide = 8192;
constexpr int kMaxFrames = 1000;
constexpr int kNarrowestPictureWindow = 640;  // narrower windows show no pictures

struct RenderOptions {
    std::string settings;
    int width = 800;
    int height = 600;
    long long steps = 0;
    int frames = 1;
    std::string out = "frame.png";
};

class StderrMessages final : public MessageSink {
public:
    void show(const std::string& caption, const std::string& text) override {
        std::cerr << "orvex: " << caption << ": " << text << (text.empty() || text.back() != '\n' ? "\n" : "");
    }
};

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

// The settings as the saver starts with them, and its pattern matrix.
bool startup_settings(const RenderOptions& o, Settings& s, std::vector<int32_t>& matrix,
                      std::filesystem::path& folder) {
    if (o.settings.empty()) {
        s = startup_settings_without_file();
        folder = ".";
    } else {
        std::string error;
        std::optional<std::string> text = read_file(o.settings, &error);
        if (!text) {
            std::cerr << "orvex: " << error << "\n";
            return false;
        }
        if (text->size() > kMaxSettingsFileBytes) text->resize(kMaxSettingsFileBytes);
        s = parse_startup_settings(*text);
        folder = std::filesystem::path(o.settings).parent_path();
        if (folder.empty()) folder = ".";
    }
    if (s.pattern == kPatternFromFile) Load_Pattern(s, folder / "Patterns2d", matrix);
    normalize_second_stage(s);
    if (o.width < kNarrowestPictureWindow) s.TextureFlag = s.Texture_Renew = 0;
    return true;
}

int run_render(const RenderOptions& o) {
    if (is_frame_pattern(o.out) && !valid_frame_pattern(o.out)) {
        std::cerr << "orvex: --out '" << o.out << "': a frame pattern takes exactly one %d field, such as %03d\n";
        return kExitUsage;
    }
    Settings s;
    std::vector<int32_t> matrix;
    std::filesystem::path folder;
    if (!startup_settings(o, s, matrix, folder)) return kExitFile;

    OsMesaSurface surface(o.width, o.height);
    if (!surface.ok()) {
        std::cerr << "orvex: " << surface.error() << "\n";
        return kExitFile;
    }
    StderrMessages messages;
    SceneServices services;
    services.pictures_folder = folder / "Pictures";
    services.messages = &messages;
    Scene scene(s, std::move(services));
    Simulation simulation(s, std::move(matrix));
    simulation.set_picture_step([&scene] { scene.pictures().picture_step(); });

    scene.GLSetupRC();
    scene.GLResize(o.width, o.height);
    scene.pictures().list_pictures();
    simulation.start();
    for (long long k = 0; k < o.steps; ++k) simulation.tick();

    const bool every_frame = is_frame_pattern(o.out);
    int status = kExitOk;
    for (int f = 1; f <= o.frames && status == kExitOk; ++f) {
        scene.GLRenderScene(simulation.field());
        if (!every_frame && f < o.frames) continue;
        surface.finish();
        const std::string name = every_frame ? frame_name(o.out, f) : o.out;
        std::string error;
        if (!write_png(name, o.width, o.height, surface.rgb_top_down(), &error)) {
            std::cerr << "orvex: " << error << "\n";
            status = kExitFile;
        }
    }
    scene.GLFree();
    if (status == kExitOk)
        std::cout << "population " << simulation.field().population() << ", " << o.frames << " frame"
                  << (o.frames == 1 ? "" : "s") << " drawn, written to " << o.out << "\n";
    return status;
}

}  // namespace

CommandRun add_render_command(CLI::App& app) {
    auto o = std::make_shared<RenderOptions>();
    CLI::App* sub = app.add_subcommand("render", "Draw the saver's picture of a field into PNG files, without a window");
    sub->add_option("--settings", o->settings,
                    "Settings file (ss_ca_02.ini); Patterns2d and Pictures are the folders beside it")
        ->check(CLI::ExistingFile);
    sub->add_option("--width", o->width, "Picture width in pixels")->check(CLI::Range(1, kMaxSide));
    sub->add_option("--height", o->height, "Picture height in pixels")->check(CLI::Range(1, kMaxSide));
    sub->add_option("--steps", o->steps, "Generations to run before drawing")->check(CLI::NonNegativeNumber);
    sub->add_option("--frames", o->frames, "Frames to draw; the lights move with every frame")
        ->check(CLI::Range(1, kMaxFrames));
    sub->add_option("--out", o->out, "PNG file for the last frame, or a pattern such as frame-%03d.png for every frame");
    return [o] { return run_render(*o); };
}

}  // namespace orvex::tool
