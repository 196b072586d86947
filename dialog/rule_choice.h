// A rule typed in the Rule box: which entry of the Rule list it selects.
//
// A rule that runs exactly as a catalogue rule does selects that rule: typing
// "B3/S23" selects Conway's Life, "B36/S236" High Life, "B2356/S1456/C16" Xtasy
// (keeping Modified Generation when that family is chosen). Any other rule that
// reads selects the "Custom" entry at the end of the list and is kept as typed;
// one that doesn't read is refused with the reader's message, and the last rule
// chosen stays.
#pragma once

#include <string>
#include <string_view>

namespace orvex {

inline constexpr const char* kCustomRuleEntry = "Custom";

struct TypedRule {
    enum class Kind { Catalogue, Own, Refused };
    Kind kind = Kind::Refused;
    int family = 0;         // Catalogue: the family to choose
    int life_rule = 0;      // Catalogue: the entry of its Rule list
    std::string rule_text;  // Own: the text without blanks at either end
    std::string message;    // Refused: why, naming the text
};

// family: the family chosen now.
TypedRule typed_rule(std::string_view text, int family);

// What the Rule box shows for a choice: a rule of its own in B/S notation, else
// the notation of the catalogue rule (family, life_rule).
std::string rule_shown(int family, int life_rule, const std::string& rule_text);

}  // namespace orvex
