#include "config/file_names.h"

#include <algorithm>
#include <string_view>
#include <system_error>
#include <type_traits>

#include "base/text_chars.h"

namespace orvex {

namespace {

// The devices Windows finds in every folder, by the part of a name before its
// first dot, trailing blanks dropped; COM and LPT take one more character.
template <class Char>
bool is_device_name(std::basic_string_view<Char> base) {
    auto code = [](Char c) { return static_cast<std::make_unsigned_t<Char>>(c); };
    auto same = [&](std::basic_string_view<Char> got, std::string_view want) {
        if (got.size() != want.size()) return false;
        for (std::size_t k = 0; k < want.size(); ++k)
            if (code(got[k]) >= 0x80 || ascii_lower(static_cast<char>(got[k])) != want[k]) return false;
        return true;
    };
    for (std::string_view device : {"con", "prn", "aux", "nul", "conin$", "conout$"})
        if (same(base, device)) return true;
    if (base.size() < 4 || !(same(base.substr(0, 3), "com") || same(base.substr(0, 3), "lpt"))) return false;
    const std::basic_string_view<Char> tail = base.substr(3);
    auto superscript = [&](Char c) { return code(c) == 0xB9 || code(c) == 0xB2 || code(c) == 0xB3; };
    if (tail.size() == 1) return (code(tail[0]) < 0x80 && is_digit(static_cast<char>(tail[0]))) || superscript(tail[0]);
    return tail.size() == 2 && code(tail[0]) == 0xC2 && superscript(tail[1]);  // ¹ ² ³ in UTF-8
}

template <class Char>
bool plain_name(std::basic_string_view<Char> name) {
    for (const Char c : name) {
        const auto u = static_cast<std::make_unsigned_t<Char>>(c);
        if (u < 0x20 || u == 0x7F || c == Char('/') || c == Char('\\') || c == Char(':')) return false;
    }
    std::size_t end = name.size();
    while (end > 0 && (name[end - 1] == Char('.') || name[end - 1] == Char(' '))) --end;
    if (end == 0) return false;  // ".", "..", "...", " "
    std::basic_string_view<Char> base = name.substr(0, std::min(name.find(Char('.')), end));
    while (!base.empty() && base.back() == Char(' ')) base.remove_suffix(1);
    return !is_device_name(base);
}

}  // namespace

bool is_plain_file_name(const std::string& name) {
    if (name.empty()) return false;
    const std::filesystem::path path = path_for_name({}, name);
    return plain_name(std::basic_string_view<std::filesystem::path::value_type>(path.native()));
}

#ifndef _WIN32
// Names are the file system's bytes as they are.
std::filesystem::path path_for_name(const std::filesystem::path& folder, const std::string& name) {
    return folder / std::filesystem::path(name);
}

std::optional<std::string> name_of(const std::filesystem::path& path) { return path.filename().string(); }
#endif

std::vector<std::string> list_file_names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        std::error_code type_ec;
        if (!it->is_regular_file(type_ec)) continue;
        if (std::optional<std::string> name = name_of(it->path())) names.push_back(std::move(*name));
    }
    return names;
}

}  // namespace orvex
