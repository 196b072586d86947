// The rule reader on arbitrary text: a rule it takes is written back in notation
// that reads as the same rule, and a field runs it (both kernel builds agree);
// one it refuses gets one line that names it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/rule_text.h"
#include "core/automaton.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const RuleRead read = read_rule(text);
    if (!read.rule) {
        require(!read.error.empty() && read.error.rfind("Rule \"", 0) == 0 && read.error.size() < 200);
        require(read.error.find('\n') == std::string::npos);
        return 0;
    }
    const RuleSets& r = *read.rule;
    require(read.error.empty() && r.states >= 2 && r.states <= kMaxRuleStates && !r.birth.test(0));
    const std::string notation = rule_notation(r);
    const RuleRead back = read_rule(notation);
    require(back.rule && *back.rule == r && rule_notation(*back.rule) == notation);

    FieldSetup setup;
    setup.family = size % 3;
    setup.wraps = size % 2;
    setup.rule = r;
    Automaton best(setup), baseline(setup, Automaton::Kernels::Baseline);
    for (int i = 0; i < 100; ++i)
        for (int j = (i * 7) % 3; j < 100; j += 3) {
            best.set_cell(i, j, 1);
            baseline.set_cell(i, j, 1);
        }
    for (int k = 0; k < 3; ++k) {
        best.step();
        baseline.step();
    }
    require(best.cells() == baseline.cells());
    return 0;
}
