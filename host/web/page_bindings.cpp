// What the page's script calls: the run, the settings text and the
// configuration dialog's logic, over the in-memory maker folder that the
// script fills with the sample and the user's files.
#include <emscripten/bind.h>
#include <emscripten/heap.h>
#include <emscripten/val.h>

#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/rule_text.h"
#include "config/settings_file.h"
#include "dialog/configure_dialog.h"
#include "dialog/dialog_ids.h"
#include "host/web/page_codecs.h"
#include "host/web/page_gl.h"
#include "host/web/page_run.h"
#include "host/web/page_text.h"
#include "picture/bmp_stream.h"
#include "picture/picture_codecs.h"
#include "picture/picture_reduce.h"
#include "seed/pattern_formats.h"

namespace orvex::web {
namespace {

using emscripten::val;

std::unique_ptr<PageRun> run;
std::unique_ptr<FolderMakerFiles> dialog_files;
std::unique_ptr<SettingsPanel> dialog;
bool have_context = false;
PageGlyphs glyphs{};

// settings_text "" stands for no stored settings; seed NaN for none. False
// when the canvas has no WebGL 2 context.
bool start_run(const std::string& settings_text, int width, int height, double seed, double steps) {
    if (run) run->session().release();
    run.reset();
    if (!have_context) have_context = make_page_context("#field");
    if (!have_context) return false;
    std::optional<std::string> text;
    if (!settings_text.empty()) text = settings_text;
    std::optional<std::int64_t> s;
    if (std::isfinite(seed)) s = static_cast<std::int64_t>(seed);
    const std::int64_t k = std::isfinite(steps) && steps > 0 ? static_cast<std::int64_t>(steps) : 0;
    run = std::make_unique<PageRun>(text, width, height, s, k, &page_gl_proc, glyphs);
    return true;
}

bool run_frame(bool may_draw, double budget_ms, bool paused) { return run && run->frame(may_draw, budget_ms, paused); }
void run_draw(bool frame_rate) {
    if (run) run->draw(frame_rate);
}
void run_expose() {
    if (run) run->expose();
}
void run_resize(int width, int height) {
    if (run) run->resize(width, height);
}
void run_context_restored() {
    if (run) run->context_restored();
}

// The messages the run has for the user since the last call: "caption: text" each.
val run_messages() {
    val out = val::array();
    if (!run) return out;
    while (std::optional<SessionMessage> m = run->take_message()) out.call<void>("push", m->caption + ": " + m->text);
    return out;
}

double run_steps_left() { return run ? static_cast<double>(run->steps_left()) : 0; }
double run_steps() { return run ? static_cast<double>(run->counts().steps) : 0; }

val run_info() {
    val info = val::object();
    if (!run) return info;
    const RunCounts c = run->counts();
    const Settings& s = run->settings();
    info.set("steps", static_cast<double>(c.steps));
    info.set("stepsLeft", static_cast<double>(run->steps_left()));
    info.set("frames", static_cast<double>(c.frames));
    info.set("resets", static_cast<double>(c.resets));
    info.set("generation", static_cast<double>(c.generation));
    info.set("fieldSize", s.field_size);
    info.set("speed", s.speed);
    info.set("drawStyle", s.DrawStyle);
    info.set("family", s.Family);
    info.set("rule", s.life_rule);
    info.set("ruleText", s.rule_text);  // a rule of its own, run in place of (family, rule); "" for none
    info.set("pattern", s.pattern);
    info.set("patternName", s.pattern_name);
    info.set("lights", s.LightingNum);
    info.set("pictures", s.TextureFlag);
    const PictureSchedule& pictures = run->session().picture_schedule();
    info.set("picture", pictures.picture_name());
    info.set("picturesShown", pictures.shown_pictures());
    const Automaton& field = run->simulation().field();
    int live = 0;
    for (int i = 0; i < field.field_size(); ++i)
        for (int j = 0; j < field.field_size(); ++j) live += field.cell(i, j) == 1;
    info.set("live", live);
    return info;
}

// The field's cells, row by row, as a string of digits (0, 1, 2 for dying and older), for tests.
std::string run_cells() {
    if (!run) return {};
    const Automaton& field = run->simulation().field();
    std::string cells;
    cells.reserve(static_cast<std::size_t>(field.field_size()) * field.field_size());
    for (int i = 0; i < field.field_size(); ++i)
        for (int j = 0; j < field.field_size(); ++j) {
            const int32_t c = field.cell(i, j);
            cells += static_cast<char>('0' + (c > 2 ? 2 : c < 0 ? 0 : c));
        }
    return cells;
}

// Milliseconds per generation step of the run's field, over n steps.
double time_steps(int n) {
    if (!run || n <= 0) return 0;
    SaverSession& session = run->session();
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) session.tick();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
    return took.count() / n;
}

val list_to_js(const ComboList& list) {
    val out = val::object();
    val entries = val::array();
    for (const std::string& e : list.entries) entries.call<void>("push", e);
    out.set("entries", entries);
    out.set("selected", list.selected);
    return out;
}

void dialog_open(const std::string& settings_text) {
    dialog.reset();
    dialog_files = std::make_unique<FolderMakerFiles>(page_maker_folder());
    dialog = std::make_unique<SettingsPanel>(*dialog_files, settings_text);
}

int dialog_command(int control) { return dialog ? static_cast<int>(dialog->command(control)) : 0; }
int dialog_choose(int list, int index) { return dialog ? static_cast<int>(dialog->choose(list, index)) : 0; }
int dialog_type_rule(const std::string& text) { return dialog ? static_cast<int>(dialog->type_rule(text)) : 0; }

val dialog_view() {
    val view = val::object();
    if (!dialog) return view;
    const ConfigureDialogState& state = dialog->state();
    view.set("family", list_to_js(state.family_list()));
    view.set("rule", list_to_js(state.rule_list()));
    view.set("ruleText", state.rule_box_text());
    view.set("ruleMessage", state.rule_message());
    view.set("ruleOffer", state.pattern_rule_offer());  // "Run it as ...", "" for none
    view.set("pattern", list_to_js(state.pattern_list()));
    view.set("picture", list_to_js(state.picture_list()));
    val checked = val::object();
    for (int id : {IDC_ONE_COLOR, IDC_RED, IDC_GREEN, IDC_BLUE, IDC_POINTS, IDC_TRIANGLES, IDC_LINES, IDC_QUADS,
                   IDC_PICTURE_ON, IDC_ONLY_RULE_PATTERNS, IDC_TRANSPARENT_BORDERS, IDC_PICTURE_CYCLING, IDC_LIGHTS_OFF,
                   IDC_LIGHTS_1, IDC_LIGHTS_2, IDC_LIGHTS_3, IDC_RESET_OFF, IDC_RESET_REPEAT, IDC_RESET_ON_TIME})
        checked.set(std::to_string(id), state.checked(id));
    view.set("checked", checked);
    view.set("fieldSize", state.field_size_text());
    view.set("speed", state.speed_text());
    view.set("resetTime", state.reset_time_text());
    return view;
}

// OK: the settings file's text from the boxes and the lists' selections.
std::string dialog_take(const std::string& field_size, const std::string& speed, const std::string& reset_time,
                        int family, int rule, int pattern, int picture) {
    if (!dialog) return {};
    return dialog->take(field_size, speed, reset_time, family, rule, pattern, picture);
}

std::vector<std::uint8_t> bytes_of(const val& array) {
    const std::size_t n = array["length"].as<std::size_t>();
    std::vector<std::uint8_t> bytes(n);
    val(emscripten::typed_memory_view(n, bytes.data())).call<void>("set", array);
    return bytes;
}

// A rule as people write it, in B/S notation; "" when it doesn't read.
std::string rule_notation_of(const std::string& text) {
    const RuleRead read = read_rule(text);
    return read.rule ? rule_notation(*read.rule) : std::string();
}

// The rule a pattern file's header names (by the file's name, its format), in
// B/S notation; "" when it names none that runs.
std::string pattern_rule_js(const std::string& name, const val& bytes) {
    const std::vector<std::uint8_t> b = bytes_of(bytes);
    const std::string_view text(reinterpret_cast<const char*>(b.data()), b.size());
    const std::optional<RuleSets> rule = pattern_rule(format_for_name(name), text);
    return rule ? rule_notation(*rule) : std::string();
}

// Pictures the browser is decoding, by the number the script holds them by.
std::map<int, std::unique_ptr<DecodedPicture>> decoding;
int next_decoding = 1;

// The browser is decoding the file at path into width x height RGBA pixels;
// the picture is kept for a canvas of canvas_width x canvas_height under the
// GL's largest texture, as the run will use it. The number to give its rows
// with, or 0 when it is refused (too large).
int decoded_begin_js(const std::string& path, int width, int height, int canvas_width, int canvas_height,
                     int max_texture_size) {
    auto picture = std::make_unique<DecodedPicture>(
        path, width, height, texture_side_for_window(canvas_width, canvas_height, max_texture_size));
    if (!picture->ok()) return 0;
    const int id = next_decoding++;
    decoding[id] = std::move(picture);
    return id;
}
// Its next band of rows, top row first, whole rows of RGBA pixels. True when
// the picture is complete and ready; a band that doesn't fit makes it damaged.
bool decoded_rows_js(int id, int width, const val& rgba) {
    const auto found = decoding.find(id);
    if (found == decoding.end()) return true;
    DecodedPicture& picture = *found->second;
    const std::size_t n = rgba["length"].as<std::size_t>();
    const std::size_t row_bytes = static_cast<std::size_t>(width > 0 ? width : 1) * 4u;
    const std::vector<std::uint8_t> band = n % row_bytes == 0 ? bytes_of(rgba) : std::vector<std::uint8_t>();
    if (band.empty() || !picture.add_rows(static_cast<int>(n / row_bytes), band.data())) picture.abandon();
    if (picture.ok()) return false;
    decoding.erase(found);
    return true;
}
// The rest of its rows will never come: damaged when `damaged`, else simply
// not wanted any more.
void decoded_end_js(int id, bool damaged) {
    const auto found = decoding.find(id);
    if (found == decoding.end()) return;
    if (damaged) found->second->abandon();
    decoding.erase(found);
}
// The file the run waits for, or "".
std::string picture_wanted() { return run ? run->pictures().wanted() : std::string(); }
// The script has prepared what it could for this file: the run takes it.
void picture_ready(const std::string& path) {
    if (run) run->pictures().ready(path);
}
// Whether the browser may decode this BMP for the saver: its header is one
// the saver's reader streams, within the pixel limit and the sides a browser
// canvas takes. Any other goes to the reader itself, for its verdict.
bool bmp_for_browser(const val& head, double file_size) {
    const std::vector<std::uint8_t> h = bytes_of(head);
    const std::optional<BmpHeader> bmp = read_bmp_header(h.data(), h.size(), static_cast<uint64_t>(file_size));
    if (!bmp || !bmp_streams(*bmp) || bmp->width <= 0 || bmp->height == 0) return false;
    const uint64_t rows = static_cast<uint64_t>(bmp->height < 0 ? -bmp->height : bmp->height);
    constexpr uint64_t kCanvasSide = 32767;
    return static_cast<uint64_t>(bmp->width) <= kCanvasSide && rows <= kCanvasSide &&
           !over_pixel_limit(static_cast<uint64_t>(bmp->width), rows, kMaxPixels);
}
// The browser font's glyphs for the frame-rate text: 96 x 8 rows of 8 bits.
void set_glyphs_js(const val& rows) {
    const std::vector<std::uint8_t> bits = bytes_of(rows);
    for (std::size_t i = 0; i < bits.size() && i < glyphs.size() * 8; ++i) glyphs[i / 8][i % 8] = bits[i];
}
// The module's memory, which grows and never shrinks.
double heap_bytes() { return static_cast<double>(emscripten_get_heap_size()); }
}  // namespace
}  // namespace orvex::web

EMSCRIPTEN_BINDINGS(orvex_page) {
    using namespace orvex::web;
    emscripten::function("correctedSettings", &corrected_settings_text);
    emscripten::function("startRun", &start_run);
    emscripten::function("runFrame", &run_frame);
    emscripten::function("runDraw", &run_draw);
    emscripten::function("runExpose", &run_expose);
    emscripten::function("runResize", &run_resize);
    emscripten::function("runContextRestored", &run_context_restored);
    emscripten::function("runMessages", &run_messages);
    emscripten::function("runInfo", &run_info);
    emscripten::function("runStepsLeft", &run_steps_left);
    emscripten::function("runSteps", &run_steps);
    emscripten::function("runCells", &run_cells);
    emscripten::function("timeSteps", &time_steps);
    emscripten::function("decodedBegin", &decoded_begin_js);
    emscripten::function("decodedRows", &decoded_rows_js);
    emscripten::function("decodedEnd", &decoded_end_js);
    emscripten::function("rememberUndecodable", &remember_undecodable);
    emscripten::function("rememberTooLarge", &remember_too_large);
    emscripten::function("forgetPicture", &forget_picture);
    emscripten::function("pictureWanted", &picture_wanted);
    emscripten::function("pictureReady", &picture_ready);
    emscripten::function("bmpForBrowser", &bmp_for_browser);
    emscripten::function("heapBytes", &heap_bytes);
    emscripten::function("setGlyphs", &set_glyphs_js);
    emscripten::function("dialogOpen", &dialog_open);
    emscripten::function("dialogCommand", &dialog_command);
    emscripten::function("dialogChoose", &dialog_choose);
    emscripten::function("dialogTypeRule", &dialog_type_rule);
    emscripten::function("ruleNotation", &rule_notation_of);
    emscripten::function("patternRule", &pattern_rule_js);
    emscripten::function("dialogView", &dialog_view);
    emscripten::function("dialogTake", &dialog_take);
}
