#include "seed/pattern_file.h"

#include <algorithm>
#include <type_traits>

#include "base/file_read.h"
#include "config/file_names.h"

namespace orvex {

PatternRead read_pattern_file(const std::filesystem::path& path, int field_size) {
    FileText text = read_small_file(path, kMaxPatternFileBytes);
    if (!text.bytes) return pattern_failure(text.error);
    const std::filesystem::path::string_type extension = path.extension().native();
    std::string ascii;  // the extension, when it is plain ASCII
    for (const auto c : extension) {
        const auto code = static_cast<std::make_unsigned_t<std::remove_const_t<decltype(c)>>>(c);
        ascii += code < 128 ? static_cast<char>(code) : '?';
    }
    return read_pattern_text(*text.bytes, format_for_name("x" + ascii), field_size);
}

std::string pattern_file_name(const std::string& pattern_name) {
    return format_for_name(pattern_name) == PatternFormat::Life105 ? pattern_name + ".lif" : pattern_name;
}

void Load_Pattern(Settings& settings, const std::filesystem::path& patterns_folder,
                  std::vector<int32_t>& pattern_matrix) {
    const int n = std::clamp(settings.field_size, kMinFieldSize, kMaxFieldSize);
    pattern_matrix.assign(static_cast<size_t>(n) * n, 0);
    if (settings.pattern != kPatternFromFile) return;

    // The dialog only ever stores names of files in the pattern folder.
    const std::string& name = settings.pattern_name;
    if (!is_plain_file_name(name)) {
        settings.pattern = 0;
        return;
    }
    PatternRead read = read_pattern_file(path_for_name(patterns_folder, pattern_file_name(name)), n);
    if (!read.ok()) {
        settings.pattern = 0;
        return;
    }
    fit_states_to_rule(read.cells, settings);
    pattern_matrix = std::move(read.cells);
}

}  // namespace orvex
