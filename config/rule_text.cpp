#include "config/rule_text.h"

#include <array>
#include <cstdint>

#include "base/text_chars.h"

namespace orvex {

namespace {

// Hensel's letters, in his order, with one neighbourhood of each (bits as in the
// header); a letter stands for that neighbourhood with its turns and mirror images.
struct Letter {
    char name;
    uint8_t example;
};
struct CountLetters {
    int size;
    Letter letters[13];
};

constexpr CountLetters kLetters[9] = {
    {0, {}},
    {2, {{'c', 0x01}, {'e', 0x02}}},
    {6, {{'c', 0x05}, {'e', 0x0A}, {'k', 0x0C}, {'a', 0x03}, {'i', 0x18}, {'n', 0x24}}},
    {10,
     {{'c', 0x25},
      {'e', 0x1A},
      {'k', 0x32},
      {'a', 0x0B},
      {'i', 0x07},
      {'n', 0x0D},
      {'y', 0x31},
      {'q', 0x26},
      {'j', 0x0E},
      {'r', 0x19}}},
    {13,
     {{'c', 0xA5},
      {'e', 0x5A},
      {'k', 0x33},
      {'a', 0x0F},
      {'i', 0x1D},
      {'n', 0x27},
      {'y', 0x35},
      {'q', 0x36},
      {'j', 0x3A},
      {'r', 0x1B},
      {'t', 0x39},
      {'w', 0x2E},
      {'z', 0x3C}}},
    {10,
     {{'c', 0x5B},
      {'e', 0xA7},
      {'k', 0x75},
      {'a', 0x2F},
      {'i', 0x1F},
      {'n', 0x3B},
      {'y', 0x5D},
      {'q', 0x3E},
      {'j', 0x37},
      {'r', 0x3D}}},
    {6, {{'c', 0x5F}, {'e', 0xAF}, {'k', 0x77}, {'a', 0x3F}, {'i', 0xBD}, {'n', 0x7E}}},
    {2, {{'c', 0x7F}, {'e', 0xBF}}},
    {0, {}},
};

constexpr int kDy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
constexpr int kDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};

int bit_at(int dy, int dx) {
    for (int b = 0; b < 8; ++b)
        if (kDy[b] == dy && kDx[b] == dx) return b;
    return -1;
}

// The neighbourhood k turned a quarter (t = 1) or mirrored (t = 0).
unsigned moved(unsigned k, bool turn) {
    unsigned out = 0;
    for (int b = 0; b < 8; ++b)
        if (k >> b & 1) out |= 1u << (turn ? bit_at(kDx[b], -kDy[b]) : bit_at(kDy[b], -kDx[b]));
    return out;
}

Neighbourhoods orbit(unsigned k) {
    Neighbourhoods set;
    for (int mirror = 0; mirror < 2; ++mirror) {
        for (int turns = 0; turns < 4; ++turns) {
            set.set(k);
            k = moved(k, true);
        }
        k = moved(k, false);
    }
    return set;
}

Neighbourhoods of_count(int n) {
    Neighbourhoods set;
    for (unsigned k = 0; k < 256; ++k)
        if (live_neighbours(k) == n) set.set(k);
    return set;
}

const Letter* find_letter(int n, char c) {
    for (int q = 0; q < kLetters[n].size; ++q)
        if (kLetters[n].letters[q].name == c) return &kLetters[n].letters[q];
    return nullptr;
}

bool is_letter(char c) { return c >= 'a' && c <= 'z'; }

// A character as a message shows it: printable ones quoted, others by their code.
std::string shown(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) return std::string("'") + c + "'";
    const char* digits = "0123456789ABCDEF";
    return std::string("the byte 0x") + digits[u >> 4] + digits[u & 15];
}

// One count list ("23", "2-a3", "2ce4") into set; why it can't be, otherwise.
bool read_counts(std::string_view s, Neighbourhoods& set, std::string& why) {
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i++];
        if (!is_digit(c)) {
            why = is_letter(c) ? std::string("the letter '") + c + "' has no count before it"
                               : shown(c) + " has no place in a rule";
            return false;
        }
        const int n = c - '0';
        if (n > 8) {
            why = std::string("a cell has at most 8 neighbours, not ") + c;
            return false;
        }
        const bool minus = i < s.size() && s[i] == '-';
        if (minus) ++i;
        Neighbourhoods letters;
        std::size_t named = 0;
        for (; i < s.size() && is_letter(s[i]); ++i, ++named) {
            const Letter* l = find_letter(n, s[i]);
            if (!l) {
                why = kLetters[n].size ? std::to_string(n) + " has no letter '" + s[i] + "'"
                                       : std::to_string(n) + " takes no letters";
                return false;
            }
            letters |= orbit(l->example);
        }
        if (minus && !named) {
            why = "'-' after " + std::to_string(n) + " names no letter";
            return false;
        }
        const Neighbourhoods all = of_count(n);
        set |= !named ? all : minus ? (all & ~letters) : letters;
    }
    return true;
}

bool read_states(std::string_view s, int& states, std::string& why) {
    int n = 0;
    bool number = !s.empty() && s.size() <= 4;
    for (char c : s) {
        if (!is_digit(c)) number = false;
        if (number) n = n * 10 + (c - '0');
    }
    if (!number || n < 2 || n > kMaxRuleStates) {
        why = "the number of states must be 2 to 256";
        if (number) why += ", not " + std::string(s);
        return false;
    }
    states = n;
    return true;
}

// "b3/s23", "b3s23", "s23/b3", "b2/s/c3", "b2/s/3".
bool read_lettered(const std::string& rule, RuleSets& out, std::string& why) {
    std::string_view sections[3];  // b, s, c
    bool seen[3] = {};
    std::size_t i = 0;
    while (i < rule.size()) {
        const char c = rule[i];
        // A bare number after the B and S parts is the states' count, as after a C.
        const bool bare = is_digit(c) && seen[0] && seen[1] && rule[i - 1] == '/';
        const int which = c == 'b' ? 0 : c == 's' ? 1 : c == 'c' || bare ? 2 : -1;
        if (which < 0 || seen[which]) {
            why = "write it as B3/S23, 23/3, B2/S/C3 or 345/2/4";
            return false;
        }
        seen[which] = true;
        std::size_t end = bare ? i : ++i;
        // A section runs to the next slash, or, for B and S, to the other letter.
        while (end < rule.size() && rule[end] != '/' && rule[end] != 'b' && rule[end] != 's') ++end;
        sections[which] = std::string_view(rule).substr(i, end - i);
        i = end < rule.size() && rule[end] == '/' ? end + 1 : end;
        if (which == 2 && i < rule.size() && rule[i - 1] != '/') {
            why = "write it as B3/S23, 23/3, B2/S/C3 or 345/2/4";
            return false;
        }
    }
    if (!read_counts(sections[0], out.birth, why) || !read_counts(sections[1], out.survive, why)) return false;
    if (!seen[0] || !seen[1]) {
        why = std::string("it has no ") + (seen[0] ? "S" : "B") + " part";
        return false;
    }
    return !seen[2] || read_states(sections[2], out.states, why);
}

// "23/3", "345/2/4", "/2/3": survive, birth, states.
bool read_positional(const std::string& rule, RuleSets& out, std::string& why) {
    std::string_view parts[3];
    std::string_view rest = rule;
    int n = 0;
    for (;;) {
        const std::size_t slash = rest.find('/');
        if (n == 3) {
            why = "it has more than three parts";
            return false;
        }
        parts[n++] = rest.substr(0, slash);
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    if (n < 2) {
        why = "write it as B3/S23, 23/3, B2/S/C3 or 345/2/4";
        return false;
    }
    return read_counts(parts[0], out.survive, why) && read_counts(parts[1], out.birth, why) &&
           (n < 3 || read_states(parts[2], out.states, why));
}

std::string quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::string s(text.substr(0, kShown));
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) c = '?';
    return "Rule \"" + s + (text.size() > kShown ? "...\"" : "\"");
}

void write_counts(const Neighbourhoods& set, std::string& out) {
    for (int n = 0; n <= 8; ++n) {
        const Neighbourhoods all = of_count(n);
        const Neighbourhoods in = set & all;
        if (in.none()) continue;
        out += static_cast<char>('0' + n);
        if (in == all) continue;
        std::string with, without;
        for (int q = 0; q < kLetters[n].size; ++q) {
            const Letter& l = kLetters[n].letters[q];
            (in.test(l.example) ? with : without) += l.name;
        }
        out += with.size() <= without.size() ? with : "-" + without;
    }
}

}  // namespace

bool RuleSets::totalistic() const {
    for (int n = 0; n <= 8; ++n) {
        const Neighbourhoods all = of_count(n);
        for (const Neighbourhoods* set : {&birth, &survive}) {
            const std::size_t in = (*set & all).count();
            if (in != 0 && in != all.count()) return false;
        }
    }
    return true;
}

static unsigned counts_of(const Neighbourhoods& set) {
    unsigned bits = 0;
    for (int n = 0; n <= 8; ++n)
        if ((set & of_count(n)) == of_count(n)) bits |= 1u << n;
    return bits;
}

unsigned RuleSets::birth_counts() const { return counts_of(birth); }
unsigned RuleSets::survive_counts() const { return counts_of(survive); }

RuleSets rule_from_counts(unsigned birth, unsigned survive, int states) {
    RuleSets r;
    for (int n = 0; n <= 8; ++n) {
        if (birth >> n & 1) r.birth |= of_count(n);
        if (survive >> n & 1) r.survive |= of_count(n);
    }
    r.states = states;
    return r;
}

RuleRead read_rule(std::string_view text) {
    RuleRead read;
    const auto refuse = [&](const std::string& why) {
        read.error = quoted(text) + ": " + why + ".";
        return read;
    };
    if (text.size() > kMaxRuleText) return refuse("a rule is at most 256 characters long");
    std::string rule;
    for (char c : text.substr(0, text.find(':')))
        if (!is_blank(c)) rule += ascii_lower(c);
    if (rule.empty()) return refuse("there is no rule in it");
    if (rule.back() == 'h' || rule.back() == 'v')
        return refuse(std::string("the neighbourhood '") + static_cast<char>(rule.back() - 'a' + 'A') +
                      "' is not run here, only the eight neighbours of a cell");
    RuleSets sets;
    std::string why;
    const bool ok =
        is_digit(rule[0]) || rule[0] == '/' ? read_positional(rule, sets, why) : read_lettered(rule, sets, why);
    if (!ok) return refuse(why);
    if (sets.birth.test(0)) return refuse("B0, birth with no live neighbour, is not run here");
    read.rule = sets;
    return read;
}

std::string rule_notation(const RuleSets& rule) {
    std::string out = "B";
    write_counts(rule.birth, out);
    out += "/S";
    write_counts(rule.survive, out);
    if (rule.states > 2) out += "/C" + std::to_string(rule.states);
    return out;
}

}  // namespace orvex
