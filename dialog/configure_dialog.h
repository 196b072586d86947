// The configuration dialog without its window: the working copies (iMainColor,
// iDrawStyle, ... in the settings file's encoding), the four lists, and what
// each command does to them. The platform's dialog procedure fills its controls
// from this state, passes every command on, and on OK hands over the texts of
// the edit boxes and the selections of the lists.
//
// Control identifiers are those of dialog/dialog_ids.h.
#pragma once

#include <string>

#include "config/settings_file.h"
#include "dialog/dialog_lists.h"

namespace orvex {

// What a command changed, for the platform to show again.
enum DialogRefresh : unsigned {
    kRefreshNothing = 0,
    kRefreshButtons = 1u << 0,      // radio groups and check boxes
    kRefreshSelections = 1u << 1,   // the selected entry of every list
    kRefreshRuleList = 1u << 2,     // the Rule list's entries
    kRefreshPatternList = 1u << 3,  // the Pattern list's entries
    kRefreshBoxes = 1u << 4,        // the three edit boxes
};

// The edit boxes' texts are taken up to this many characters on OK.
inline constexpr std::size_t kMaxBoxText = 29;

class ConfigureDialogState {
public:
    // Initialisation from the dialog reading of the settings file: fills the
    // lists and restores the earlier pattern and picture choices.
    ConfigureDialogState(const MakerFiles& files, const DialogSettings& read);

    // A command of the dialog: radio buttons, check boxes, "Default". Other
    // identifiers change nothing.
    unsigned command(int control);
    // A completed choice in the Family, Rule or Pattern list.
    unsigned choose_family(int index);
    unsigned choose_rule(int index);
    unsigned choose_pattern(int index);

    // OK: the settings to write, from the boxes' texts and the lists' selections
    // (-1, no selection, counts as the first entry). The state takes them too.
    DialogSettings take(const std::string& field_size_box, const std::string& speed_box,
                        const std::string& reset_time_box, int family, int rule, int pattern, int picture);

    const DialogSettings& values() const { return d_; }
    int picture() const { return picture_; }
    bool checked(int control) const;  // a radio button or check box
    std::string field_size_text() const;
    std::string speed_text() const;
    std::string reset_time_text() const;  // "%2.2f": 12 shows as 12.00

    const ComboList& family_list() const { return family_list_; }
    const ComboList& rule_list() const { return rule_list_; }
    const ComboList& pattern_list() const { return pattern_list_; }
    const ComboList& picture_list() const { return picture_list_; }

private:
    void fill_pattern_list(int restore);
    void fill_rule_list();
    void select_current();

    const MakerFiles& files_;
    DialogSettings d_;
    int picture_ = 0;
    ComboList family_list_;
    ComboList rule_list_;
    ComboList pattern_list_;
    ComboList picture_list_;
};

// A box's text as C's atoi and atof read it: leading blanks, a sign, digits
// (and for the real a fraction and exponent); anything else ends the number,
// no number is 0. Integers saturate instead of overflowing.
int box_integer(const std::string& text);
double box_real(const std::string& text);

}  // namespace orvex
