#include "seed/rule_notation.h"

#include <string>

#include "base/text_chars.h"
#include "core/rules.h"

namespace orvex {

namespace {

constexpr int kMaxStates = 256;

// Neighbour counts as digits 0..8; nothing for any other character.
std::optional<unsigned> counts(std::string_view digits) {
    unsigned bits = 0;
    for (char c : digits) {
        if (c < '0' || c > '8') return std::nullopt;
        bits |= 1u << (c - '0');
    }
    return bits;
}

std::optional<int> state_count(std::string_view digits) {
    if (digits.empty() || digits.size() > 3) return std::nullopt;
    int n = 0;
    for (char c : digits) {
        if (!is_digit(c)) return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < 2 || n > kMaxStates) return std::nullopt;
    return n;
}

// "b3/s23", "s23b3", "b2/s/c3": letter-led parts, slashes optional between them.
std::optional<RuleSets> lettered(const std::string& rule) {
    RuleSets sets;
    bool seen_b = false, seen_s = false, seen_c = false;
    std::size_t p = 0;
    while (p < rule.size()) {
        const char letter = rule[p++];
        std::size_t end = p;
        while (end < rule.size() && is_digit(rule[end])) ++end;
        const std::string_view digits = std::string_view(rule).substr(p, end - p);
        p = end;
        if (p < rule.size() && rule[p] == '/') ++p;
        bool& seen = letter == 'b' ? seen_b : letter == 's' ? seen_s : seen_c;
        if ((letter != 'b' && letter != 's' && letter != 'c' && letter != 'g') || seen) return std::nullopt;
        seen = true;
        if (letter == 'c' || letter == 'g') {
            const std::optional<int> n = state_count(digits);
            if (!n) return std::nullopt;
            sets.states = *n;
            continue;
        }
        const std::optional<unsigned> bits = counts(digits);
        if (!bits) return std::nullopt;
        (letter == 'b' ? sets.birth : sets.survive) = *bits;
    }
    if (!seen_b || !seen_s) return std::nullopt;
    return sets;
}

// "23/3" and "345/2/4": survive, birth and optionally the states, by position.
std::optional<RuleSets> positional(const std::string& rule) {
    std::string_view rest = rule;
    std::string_view parts[3];
    int n = 0;
    for (;;) {
        const std::size_t slash = rest.find('/');
        if (n == 3) return std::nullopt;
        parts[n++] = rest.substr(0, slash);
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    if (n < 2) return std::nullopt;
    const std::optional<unsigned> survive = counts(parts[0]), birth = counts(parts[1]);
    if (!survive || !birth) return std::nullopt;
    RuleSets sets{*survive, *birth, 2};
    if (n == 3) {
        const std::optional<int> states = state_count(parts[2]);
        if (!states) return std::nullopt;
        sets.states = *states;
    }
    return sets;
}

unsigned bits_of(const int (&flags)[9]) {
    unsigned bits = 0;
    for (int n = 0; n < 9; ++n)
        if (flags[n]) bits |= 1u << n;
    return bits;
}

}  // namespace

std::optional<RuleSets> parse_rule(std::string_view text) {
    text = text.substr(0, text.find(':'));
    std::string rule;
    for (char c : text)
        if (c != ' ' && c != '\t') rule += ascii_lower(c);
    if (rule.empty()) return std::nullopt;
    return is_digit(rule[0]) || rule[0] == '/' ? positional(rule) : lettered(rule);
}

std::optional<CatalogueRule> catalogue_rule(const RuleSets& sets) {
    if (sets.states == 2) {
        for (int r = 0; r < kLifeRuleCount; ++r)
            if (bits_of(life_stable[r]) == sets.survive && bits_of(life_born[r]) == sets.birth)
                return CatalogueRule{false, r};
        return std::nullopt;
    }
    for (int r = 0; r < kGenerationsRuleCount; ++r)
        if (bits_of(generations_stable[r]) == sets.survive && bits_of(generations_born[r]) == sets.birth &&
            life_lenght[r] == sets.states)
            return CatalogueRule{true, r};
    return std::nullopt;
}

std::optional<CatalogueRule> catalogue_rule(std::string_view text) {
    const std::optional<RuleSets> sets = parse_rule(text);
    return sets ? catalogue_rule(*sets) : std::nullopt;
}

}  // namespace orvex
