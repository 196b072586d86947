// The RLE and plaintext readers and the rule notation on arbitrary bytes. The
// first byte picks the field side (100..227) and, by its top bit, the format;
// the rest is the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/rules.h"
#include "seed/pattern_file.h"
#include "seed/pattern_formats.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

// The plaintext rows as the Life 1.05 file with one block that must place alike.
std::string as_life105(std::string_view text, const orvex::PatternFacts& facts) {
    std::string out =
        "#Life 1.05\n#D\n#P " + std::to_string(-(facts.width / 2)) + " " + std::to_string(-(facts.height / 2)) + "\n";
    int64_t rows = 0;
    while (!text.empty() && rows < facts.height) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line[0] == '!') continue;
        std::string row;
        for (char c : line)
            if (c == '.' || c == 'O' || c == '*') row += c == '.' ? '.' : '*';
        out += (row.empty() ? "." : row) + "\n";
        ++rows;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex;
    if (size == 0) return 0;
    const int side = 100 + data[0] % 128;
    const bool rle = data[0] & 0x80;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t area = static_cast<std::size_t>(side) * side;

    PatternFacts facts;
    const PatternRead read = rle ? read_rle(text, side) : read_plaintext(text, side, &facts);
    if (!read.ok()) {
        require(read.cells.empty());
    } else {
        require(read.cells.size() == area);
        for (int32_t v : read.cells) require(v >= 0 && v <= (rle ? 255 : 1));
    }
    if (rle) {
        const std::optional<PatternFacts> head = rle_facts(text);
        if (read.ok()) require(head && head->width <= kMaxPatternSide && head->height <= kMaxPatternSide);
        for (int rule = -1; rule <= kLifeRuleCount; ++rule)
            if (pattern_allowed_by_rule(PatternFormat::Rle, text, rule))
                require(head && head->catalogue && rule >= 0 && rule < kLifeRuleCount);
        if (const std::optional<CatalogueRule> r = catalogue_rule(text))
            require(r->index >= 0 && r->index < (r->generations ? kGenerationsRuleCount : kLifeRuleCount));
    } else if (read.ok()) {
        require(read.cells == read_life105(as_life105(text, facts), side).cells);
    }
    const std::optional<RuleSets> named = pattern_rule(rle ? PatternFormat::Rle : PatternFormat::Plaintext, text);
    require(!named || (rle && !named->birth.test(0) && named->states >= 2 && named->states <= kMaxRuleStates));
    if (read.ok()) {
        std::vector<int32_t> cells = read.cells;
        fit_states_to_rule(cells, data[0] % 3, data[0] % 12);
        for (int32_t v : cells) require(v >= 0 && v < 48);
    }
    return 0;
}
