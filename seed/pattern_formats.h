// The pattern formats the saver reads and the choice among them by a file's
// extension: Life 1.05 (".lif" and any other name, seed/life105_reader.h),
// RLE (".rle", seed/rle_reader.h) and plaintext (".cells",
// seed/plaintext_reader.h). All three place their cells alike
// (seed/pattern_reading.h); fit_states_to_rule says what the chosen rule keeps.
#pragma once

#include <cstdint>
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

// States above 1 stay where the chosen rule has them (the Generations
// families, up to its last state); elsewhere they become empty cells.
void fit_states_to_rule(std::vector<int32_t>& cells, int family, int life_rule);
// The same for the rule the settings run, their own included.
void fit_states_to_rule(std::vector<int32_t>& cells, const Settings& settings);

}  // namespace orvex
