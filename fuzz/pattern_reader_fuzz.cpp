// The pattern file reader and the rule test on arbitrary bytes. The first byte
// picks the field side (100..227); the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/rules.h"
#include "seed/pattern_file.h"
#include "seed/pattern_formats.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex;
    if (size == 0) return 0;
    const int side = 100 + data[0] % 128;  // bounding works alike on every side; small ones fuzz faster
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const PatternRead read = read_life105(text, side);
    if (read.ok()) {
        require(read.cells.size() == static_cast<size_t>(side) * side);
        for (int32_t v : read.cells) require(v == 0 || v == 1);
    } else {
        require(read.cells.empty());
    }
    for (int rule = -1; rule <= kLifeRuleCount; ++rule) {
        // A file listed for a rule always has the header the start-up reader needs.
        if (Pattern_Allowed_By_Rule(text, rule)) require(read.ok() && rule >= 0 && rule < kLifeRuleCount);
    }
    // A "#R" line names a rule only in a file with the header.
    if (pattern_rule(PatternFormat::Life105, text)) require(text.find("#Life") != std::string_view::npos);
    return 0;
}
