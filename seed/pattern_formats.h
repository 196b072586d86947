// The pattern formats the saver reads and the choice among them by a file's
// extension: Life 1.05 (".lif" and any other name, seed/life105_reader.h),
// RLE (".rle", seed/rle_reader.h) and plaintext (".cells",
// seed/plaintext_reader.h). All three place their cells alike
// (seed/pattern_reading.h); fit_states_to_rule says what the chosen rule keeps.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "seed/life105_reader.h"
#include "seed/plaintext_reader.h"
#include "seed/rle_reader.h"

namespace orvex {

enum class PatternFormat { Life105, Rle, Plaintext };

// By the name's extension, without regard to case: ".rle", ".cells", else Life 1.05.
PatternFormat format_for_name(std::string_view name);
const char* format_name(PatternFormat format);  // "Life 1.05", "RLE", "plaintext"

PatternRead read_pattern_text(std::string_view text, PatternFormat format, int field_size);

// Whether the dialog's filter lists the file for Life-family rule life_rule:
// a Life 1.05 file by its key line, an RLE file when its header's rule is that
// catalogue rule; a plaintext file never.
bool pattern_allowed_by_rule(PatternFormat format, std::string_view text, int life_rule);

// The rule a file's header names, when it names one that can run: an RLE file's
// "rule =", a Life 1.05 file's "#R" line (S/B, before the first "#P") or its
// "#N" (Conway's Life). Plaintext files name none.
std::optional<RuleSets> pattern_rule(PatternFormat format, std::string_view text);

// Whether the filter lists the file under the rule that runs: a rule of its own
// (own) lists the files whose header names it; a catalogue rule (family,
// life_rule) those pattern_allowed_by_rule lists and those whose header names a
// rule that runs as it does.
bool pattern_listed_for_rule(PatternFormat format, std::string_view text, int family, int life_rule,
                             const std::optional<RuleSets>& own);

// States above 1 stay where the chosen rule has them (the Generations
// families, up to its last state); elsewhere they become empty cells.
void fit_states_to_rule(std::vector<int32_t>& cells, int family, int life_rule);
// The same for the rule the settings run, their own included.
void fit_states_to_rule(std::vector<int32_t>& cells, const Settings& settings);

}  // namespace orvex
