#include "dialog/dialog_lists.h"

#include <algorithm>
#include <iterator>

#include "base/file_read.h"
#include "base/text_chars.h"
#include "config/file_names.h"
#include "config/picture_names.h"
#include "seed/pattern_file.h"
#include "seed/pattern_formats.h"
#include "seed/seeder.h"

namespace orvex {

namespace {

constexpr std::size_t kExtensionLength = 4;
constexpr const char* kPatternsSubfolder = "Patterns2d";
constexpr const char* kPicturesSubfolder = "Pictures";

}  // namespace

std::vector<std::string> FolderMakerFiles::list(const std::string& subfolder) const {
    return list_file_names(maker_ / subfolder);
}

std::optional<std::string> FolderMakerFiles::read(const std::string& subfolder, const std::string& name) const {
    // A file the saver would refuse (too big, not a regular file) is not listed either.
    return read_small_file(path_for_name(maker_ / subfolder, name), kMaxPatternFileBytes).bytes;
}

std::optional<std::string> entry_for(const std::string& file_name, ListMask mask) {
    if (mask == ListMask::Pictures) {
        if (picture_kind(file_name) == PictureKind::None) return std::nullopt;
        return stored_name_for_picture(file_name).substr(0, kMaxEntryText);
    }
    if (format_for_name(file_name) != PatternFormat::Life105) {
        // Shown and stored with its extension, so it must fit the settings file whole.
        if (file_name.size() > kMaxStoredNameLength) return std::nullopt;
        return file_name;
    }
    if (!has_extension(file_name, ".lif")) return std::nullopt;
    return file_name.substr(0, std::min(file_name.size() - kExtensionLength, kMaxEntryText));
}

std::optional<RuleSets> pattern_file_rule(const MakerFiles& files, const std::string& file_name) {
    const std::optional<std::string> text = files.read(kPatternsSubfolder, file_name);
    if (!text) return std::nullopt;
    return pattern_rule(format_for_name(file_name), *text);
}

void Fill_Pattern_Combo_Start(ComboList& list) {
    list.entries.assign(std::begin(seed_names), std::end(seed_names));
    list.files.assign(list.entries.size(), std::string());
    list.selected = 0;
}

void Fill_Combo(ComboList& list, const MakerFiles& files, int only_for_rule, int restore, ListMask mask,
                DialogSettings& d, int& picture) {
    const bool patterns = mask == ListMask::Patterns;
    const std::string subfolder = patterns ? kPatternsSubfolder : kPicturesSubfolder;
    // Life 1.05 files first, then the other formats, each in listing order.
    std::vector<std::string> names = files.list(subfolder);
    if (patterns)
        std::stable_partition(names.begin(), names.end(),
                              [](const std::string& name) { return format_for_name(name) == PatternFormat::Life105; });
    std::optional<RuleSets> own;
    if (patterns && only_for_rule == 1 && !d.rule_text.empty()) own = read_rule(d.rule_text).rule;
    int count = 0;
    for (const std::string& name : patterns ? names : picture_names_bmp_first(names)) {
        std::optional<std::string> entry = entry_for(name, mask);
        if (!entry) continue;
        if (patterns) {
            const std::optional<std::string> text = files.read(subfolder, name);
            if (!text) continue;
            if (only_for_rule == 1 &&
                !pattern_listed_for_rule(format_for_name(name), *text, d.iFamily, d.life_rule, own))
                continue;
            list.files.push_back(name);
        }
        ++count;
        if (restore == 1) {
            if (patterns && *entry == d.pattern_name) d.pattern = count + kBuiltInPatternCount - 1;
            if (!patterns && *entry == d.picture_name) picture = count;
        }
        list.entries.push_back(std::move(*entry));
    }
    const int wanted = restore == 1 ? (patterns ? d.pattern : picture) : 0;
    list.selected = (wanted >= 0 && wanted < static_cast<int>(list.entries.size())) ? wanted : 0;
}

}  // namespace orvex
