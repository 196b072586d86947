// Character tests for the readers of text files and file names. Unlike the C
// library's they ignore the locale and take any char, negative ones included.
#pragma once

#include <algorithm>
#include <string_view>

namespace orvex {

constexpr bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }
constexpr char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// True when name ends in lower_extension (given in lower case, dot included),
// letter case ignored, with at least one character before it: ".bmp" alone is
// no picture's name.
inline bool has_extension(std::string_view name, std::string_view lower_extension) {
    if (name.size() <= lower_extension.size()) return false;
    return std::equal(lower_extension.begin(), lower_extension.end(),
                      name.end() - static_cast<std::ptrdiff_t>(lower_extension.size()),
                      [](char want, char c) { return ascii_lower(c) == want; });
}

}  // namespace orvex
