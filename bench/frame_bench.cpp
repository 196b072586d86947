// CPU time and vertex bytes per frame through OSMesa (llvmpipe) in a 64 x 48
// view, so rasterising costs next to nothing: step frames (the field changed
// since the last frame) and redraw frames (it did not), every style, families
// Life and Generation, sides 250 and 1000, sparse (about 5 % live) and dense
// fields (Life: Maze grown for 150 steps, about half live; Generation: half the
// cells in random states). way 0 fills client arrays every frame, as before
// geometry was kept; way 1 keeps it in buffer objects; way 2 (Points and
// lit Quads at side 1000 only) draws in immediate mode.
//   build/linux-release/bench/frame_bench --benchmark_filter='size:1000/dense:1'
// BM_Gles3Frame draws the same fields with the OpenGL ES 3.0 renderer through
// EGL (llvmpipe as well), geometry kept in a buffer object, beside BM_Frame's
// kept way:
//   LP_NUM_THREADS=0 build/linux-release/bench/frame_bench --benchmark_repetitions=3
//   --benchmark_filter='BM_Gles3Frame|BM_Frame/style:./family:0/size:1000/dense:1/kept:1/step:./lights:(0|3)/'
// LP_NUM_THREADS=0 keeps llvmpipe's rasterising on the benchmark's own
// thread, so that the CPU column holds all of a frame's work. The process keeps
// its freed memory as the savers do (base/freed_memory.h); bench/frame_table.py
// prints the table of both renderers from one run.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <tuple>

#include "base/freed_memory.h"
#include "config/settings.h"
#include "core/automaton.h"
#include "render/gl11/osmesa_surface.h"
#include "render/gl11/scene.h"
#include "render/gles3/egl_surface.h"
#include "render/gles3/gles3_renderer.h"
#include "seed/field_setup.h"

namespace {

using namespace orvex;

constexpr int kWidth = 64, kHeight = 48;
constexpr int kMaze = 7;
constexpr int kBelZhab = 1;  // 8 states
const int kStyles[] = {kStylePoints, kStyleTriangles, kStyleLines, kStyleQuads};

Settings settings_for(int style, int family, int size, int lights) {
    Settings s;
    s.DrawStyle = style;
    s.Family = family;
    s.life_rule = family == kFamilyLife ? kMaze : kBelZhab;
    s.field_size = size;
    s.LightingNum = lights;
    normalize_first_stage(s);
    normalize_second_stage(s);
    return s;
}

// Two different fields of one kind, so alternating between them changes the field every frame.
struct Fields {
    std::unique_ptr<Automaton> a, b;
};

Fields make_fields(int family, int size, bool dense) {
    const Settings s = settings_for(kStyleTriangles, family, size, 0);
    Fields f{std::make_unique<Automaton>(field_setup(s)), std::make_unique<Automaton>(field_setup(s))};
    std::mt19937 random(static_cast<unsigned>(size * 10 + family * 2 + dense));
    const unsigned percent = dense ? (family == kFamilyLife ? 30 : 50) : 5;
    std::uniform_int_distribution<int> state(1, f.a->states() - 1);
    for (int i = 0; i < size; ++i)
        for (int j = 0; j < size; ++j)
            if (random() % 100 < percent) f.a->set_cell(i, j, family == kFamilyLife ? 1 : state(random));
    if (dense && family == kFamilyLife)
        for (int k = 0; k < 150; ++k) f.a->step();
    *f.b = *f.a;
    if (family == kFamilyLife) {
        f.b->step();
    } else {
        for (int i = 0; i < size; ++i)  // the same cells, one state older
            for (int j = 0; j < size; ++j)
                if (const int32_t v = f.a->cell(i, j)) f.b->set_cell(i, j, v % (f.a->states() - 1) + 1);
    }
    return f;
}

const Fields& fields(int family, int size, bool dense) {
    static std::map<std::tuple<int, int, bool>, Fields> made;
    auto key = std::make_tuple(family, size, dense);
    auto it = made.find(key);
    if (it == made.end()) it = made.emplace(key, make_fields(family, size, dense)).first;
    return it->second;
}

OsMesaSurface& surface() {
    static OsMesaSurface s(kWidth, kHeight);
    if (!s.ok()) throw std::runtime_error(s.error());
    return s;
}

// range: style index, family, size, dense, way (0 arrays per frame, 1 kept, 2 immediate), step (1) or redraw
// (0), lights.
void BM_Frame(benchmark::State& state) {
    const int style = kStyles[state.range(0)];
    const int family = static_cast<int>(state.range(1));
    const int size = static_cast<int>(state.range(2));
    const bool dense = state.range(3) != 0;
    const int way = static_cast<int>(state.range(4));
    const bool kept = way == 1;
    const bool step = state.range(5) != 0;
    const int lights = static_cast<int>(state.range(6));
    OsMesaSurface& out = surface();
    const Fields& f = fields(family, size, dense);

    SceneServices services;
    services.clock = [] { return std::int64_t{1700000000}; };
    if (kept) services.gl_procs = OsMesaSurface::gl_proc;
    Scene scene(settings_for(style, family, size, lights), std::move(services));
    scene.GLSetupRC();
    scene.GLResize(kWidth, kHeight);
    scene.cells().set_mode(kept ? DrawMode::Retained : way == 2 ? DrawMode::Immediate : DrawMode::Arrays);
    scene.GLRenderScene(*f.b);
    out.finish();

    double bytes = 0, draws = 0;
    bool first = true;
    for (auto _ : state) {
        const Automaton& field = step && first ? *f.a : *f.b;
        if (step) first = !first;
        scene.GLRenderScene(field);
        out.finish();
        bytes += static_cast<double>(scene.cells().bytes_last_frame());
        draws += static_cast<double>(scene.cells().kept_draws_last_frame());
    }
    scene.GLFree();
    const double live = static_cast<double>(f.b->population());
    const double frames = static_cast<double>(state.iterations());
    state.counters["live"] = live;
    state.counters["bytes"] = bytes / frames;
    state.counters["bytes_per_live"] = bytes / frames / live;
    state.counters["draws"] = draws / frames;
}

void Args(benchmark::internal::Benchmark* b) {
    b->ArgNames({"style", "family", "size", "dense", "kept", "step", "lights"});
    for (int size : {250, 1000})
        for (int dense : {0, 1})
            for (int family : {kFamilyLife, kFamilyGeneration})
                for (int style = 0; style < 4; ++style)
                    for (int step : {1, 0})
                        for (int kept : {0, 1}) b->Args({style, family, size, dense, kept, step, 0});
    // Lit, where redraws without a step still happen in the saver (the lights move).
    for (int style = 0; style < 4; ++style)
        for (int step : {1, 0})
            for (int kept : {0, 1}) b->Args({style, kFamilyLife, 1000, 1, kept, step, 3});
    for (int lights : {0, 3})
        for (int step : {1, 0}) b->Args({0, kFamilyLife, 1000, 1, 2, step, lights});
    for (int step : {1, 0}) b->Args({3, kFamilyLife, 1000, 1, 2, step, 3});
    b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.2);
}

BENCHMARK(BM_Frame)->Apply(Args);

EglSurface& egl_surface() {
    static EglSurface* s = new EglSurface(kWidth, kHeight);  // lives as long as the process
    if (!s->ok()) throw std::runtime_error(s->error());
    return *s;
}

// range: style index, step (1) or redraw (0), lights; field 1000, dense, Life.
void BM_Gles3Frame(benchmark::State& state) {
    const int style = kStyles[state.range(0)];
    const bool step = state.range(1) != 0;
    const int lights = static_cast<int>(state.range(2));
    EglSurface& out = egl_surface();
    out.make_current();
    const Fields& f = fields(kFamilyLife, 1000, true);
    Gles3Services services;
    services.gl_procs = EglSurface::gl_proc;
    services.clock = [] { return std::int64_t{1700000000}; };
    Gles3Renderer renderer(settings_for(style, kFamilyLife, 1000, lights), std::move(services));
    if (!renderer.setup()) throw std::runtime_error("the OpenGL ES renderer could not be set up");
    renderer.resize(kWidth, kHeight);
    renderer.draw_frame(*f.b);
    // A redraw's first frame keeps the frame it is redrawn from; what is
    // timed are the redraws after it.
    if (!step) renderer.draw_frame(*f.b);
    out.rgb_top_down();
    double bytes = 0;
    bool first = true;
    for (auto _ : state) {
        const Automaton& field = step && first ? *f.a : *f.b;
        if (step) first = !first;
        renderer.draw_frame(field);
        out.finish();
        bytes += static_cast<double>(renderer.bytes_last_frame());
    }
    renderer.release();
    state.counters["live"] = static_cast<double>(f.b->population());
    state.counters["bytes"] = bytes / static_cast<double>(state.iterations());
}

BENCHMARK(BM_Gles3Frame)
    ->ArgNames({"style", "step", "lights"})
    ->ArgsProduct({{0, 1, 2, 3}, {1, 0}, {0, 3}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(0.2);

}  // namespace

int main(int argc, char** argv) {
    orvex::keep_freed_memory();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
