// What the page's script hands the module as text: a link's or a stored
// settings text, and the settings panel opened on it, driven by commands and
// list choices and closed with OK on arbitrary box texts. The corrected text
// is corrected already (the page stores it and reads it back), and so is
// whatever the panel writes, but for a pattern file's place in the list
// (line 5: 7 and up), which a reading turns into 0 and finds again by name.
//
// Input: parts separated by NUL bytes: the settings text, the three boxes'
// texts, then the panel's actions, three bytes each (what, which, index); a
// typed rule is one of a few, or the first box's text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/rule_text.h"
#include "dialog/dialog_ids.h"
#include "host/web/page_text.h"
#include "tests/dialog/fake_maker_files.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(text.substr(from, end - from));
    return lines;
}

// clang-format off
const int kControls[] = {IDC_DEFAULT, IDC_ONE_COLOR, IDC_RED, IDC_GREEN, IDC_BLUE, IDC_POINTS,
    IDC_TRIANGLES, IDC_LINES, IDC_QUADS, IDC_PICTURE_ON, IDC_ONLY_RULE_PATTERNS, IDC_TRANSPARENT_BORDERS,
    IDC_PICTURE_CYCLING, IDC_LIGHTS_OFF, IDC_LIGHTS_3, IDC_RESET_OFF, IDC_RESET_ON_TIME, IDC_ABOUT,
    IDC_PATTERN_RULE};
// clang-format on
const int kLists[] = {IDC_FAMILY, IDC_RULE, IDC_PATTERN, IDC_PICTURE};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex;
    std::vector<std::string> parts(1);
    std::size_t at = 0;
    for (; at < size && parts.size() < 5; ++at) {
        if (data[at] == 0)
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(data[at]);
    }
    parts.resize(5);

    const std::string corrected = web::corrected_settings_text(parts[0]);
    require(web::corrected_settings_text(corrected) == corrected);

    static const FakeMakerFiles files = [] {
        FakeMakerFiles f;
        f.add_pattern("glider.lif", "#Life 1.05\n#P 0 0\n.*\n..*\n***\n");
        f.add_pattern("broken.rle", std::nullopt);
        f.add_pattern("a name of exactly thirty chars", kLifeFor2x2);
        f.add_pattern("own.rle", "x = 1, y = 1, rule = B36/S245\no!\n");  // offered as its own rule
        f.add_picture("one.bmp");
        f.add_picture("two.png");
        return f;
    }();
    web::SettingsPanel panel(files, parts[0]);
    const std::string typed[] = {"B3/S23", "B36/S23", "345/2/4", "B2-a/S12/C4", "B9", "", parts[1]};
    for (; at + 3 <= size; at += 3) {
        const int index = static_cast<int8_t>(data[at + 2]);
        if (data[at] % 3 == 0)
            panel.command(kControls[data[at + 1] % std::size(kControls)]);
        else if (data[at] % 3 == 1)
            panel.choose(kLists[data[at + 1] % std::size(kLists)], index);
        else
            panel.type_rule(typed[data[at + 1] % std::size(typed)]);
    }
    const ConfigureDialogState& state = panel.state();
    const int picks = size > 0 ? static_cast<int8_t>(data[size - 1]) : 0;
    const std::string written = panel.take(parts[1], parts[2], parts[3], state.family_list().selected,
                                           state.rule_list().selected, picks, state.picture_list().selected);
    std::vector<std::string> wrote = lines_of(written), read = lines_of(web::corrected_settings_text(written));
    require(wrote.size() == read.size() && wrote.size() > 4);
    const int pattern = std::atoi(wrote[4].c_str());
    require(pattern >= 0 && pattern < 7 + 4);
    if (pattern >= 7) wrote[4] = "0";
    require(wrote == read);
    require(wrote.size() < 19 || wrote[18].empty() || read_rule(wrote[18]).rule);
    return 0;
}
