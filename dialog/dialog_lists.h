// The Pattern and Picture lists of the configuration dialog, decided without a
// window: which entries, in which order, and which one is selected.
//
// Pattern list: the seven built-in seeds, then the pattern files ("*.lif") of
// "Patterns2d" that qualify, each shown as its name less ".lif", then the RLE
// and plaintext files ("*.rle", "*.cells"), each shown with its extension; the
// latter are stored that way in the settings file, so names longer than its
// 30 characters are left out. Picture list: "--none--", then the BMP files of
// "Pictures", each less ".bmp", then its JPEG and PNG files under their whole
// names (config/picture_names.h). Files come
// in the folder's listing order; an entry's text is at most 79 characters; the
// extension is matched without regard to letter case, as the platform's
// wildcard does. An earlier choice is found again by its exact name.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "config/rule_text.h"
#include "config/settings_file.h"

namespace orvex {

inline constexpr std::size_t kMaxEntryText = 79;
inline constexpr const char* kNoPicture = "--none--";
inline constexpr int kBuiltInPatternCount = 7;

// What the lists see of the maker folder. Names are held names (config/file_names.h).
class MakerFiles {
public:
    virtual ~MakerFiles() = default;
    // File names of the maker folder's subfolder, in listing order; none when it is missing.
    virtual std::vector<std::string> list(const std::string& subfolder) const = 0;
    // The text of one file there; nothing when it can't be opened.
    virtual std::optional<std::string> read(const std::string& subfolder, const std::string& name) const = 0;
};

// The real folders under a maker folder.
class FolderMakerFiles : public MakerFiles {
public:
    explicit FolderMakerFiles(std::filesystem::path maker_folder) : maker_(std::move(maker_folder)) {}
    std::vector<std::string> list(const std::string& subfolder) const override;
    std::optional<std::string> read(const std::string& subfolder, const std::string& name) const override;

private:
    std::filesystem::path maker_;
};

struct ComboList {
    std::vector<std::string> entries;
    int selected = 0;
    // The Pattern list only: the file each entry stands for, "" for a built-in seed.
    std::vector<std::string> files;
};

enum class ListMask { Patterns, Pictures };  // "*.lif" in "Patterns2d", pictures in "Pictures"

// Empties the list and puts the seven built-in pattern names in it.
void Fill_Pattern_Combo_Start(ComboList& list);

// Appends the qualifying files of the mask's folder. A pattern file qualifies
// when it can be read and, with only_for_rule 1, when pattern_listed_for_rule
// lists it for the rule d runs (its rule_text, else iFamily and life_rule);
// every picture qualifies. With restore 1 the k-th file
// (from 1) whose entry equals pattern_name makes pattern 6 + k, or equals
// picture_name makes picture k, and entry pattern / picture is selected; with
// restore 0 entry 0 is.
void Fill_Combo(ComboList& list, const MakerFiles& files, int only_for_rule, int restore, ListMask mask,
                DialogSettings& d, int& picture);

// The rule the header of pattern file `file_name` names, when it names one that
// runs (seed/pattern_formats.h, pattern_rule).
std::optional<RuleSets> pattern_file_rule(const MakerFiles& files, const std::string& file_name);

// The entry a file name gives, cut to 79 characters: a pattern file less
// ".lif" (an RLE or plaintext name whole), a picture as stored_name_for_picture
// says; nothing when the name is not of the mask's kind.
std::optional<std::string> entry_for(const std::string& file_name, ListMask mask);

}  // namespace orvex
