// The configuration dialog without its window: the working copies (iMainColor,
// iDrawStyle, ... in the settings file's encoding), the four lists, the Rule
// box, and what each command does to them. The platform's dialog procedure
// fills its controls from this state, passes every command on, and on OK hands
// over the texts of the edit boxes and the selections of the lists.
//
// Control identifiers are those of dialog/dialog_ids.h.
//
// Rules: the Rule box beside the Rule list shows the chosen rule's notation,
// and a rule typed there selects what dialog/rule_choice.h says. A rule of
// one's own is kept as the "Custom" entry at the end of the Rule list from the
// moment it is typed (or read from the settings file): choosing a catalogue
// rule leaves Custom in the list, to be chosen again. The Family list shows
// the family the rule runs under. When the chosen pattern file's header names
// another rule than the one chosen, the dialog offers to run it under that one.
#pragma once

#include <optional>
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
    kRefreshRuleBox = 1u << 5,      // the Rule box's text
    kRefreshRuleNotes = 1u << 6,    // the message beside the Rule box and the pattern's rule offer
};

// The edit boxes' texts are taken up to this many characters on OK.
inline constexpr std::size_t kMaxBoxText = 29;

class ConfigureDialogState {
public:
    // Initialisation from the dialog reading of the settings file: fills the
    // lists and restores the earlier pattern and picture choices.
    ConfigureDialogState(const MakerFiles& files, const DialogSettings& read);

    // A command of the dialog: radio buttons, check boxes, "Default" (which
    // also leaves a rule of one's own for the catalogue rule under it), the
    // pattern's rule offer. Other identifiers change nothing.
    unsigned command(int control);
    // A completed choice in the Family, Rule or Pattern list.
    unsigned choose_family(int index);
    unsigned choose_rule(int index);
    unsigned choose_pattern(int index);
    // The Rule box's text, once the user is done with it (and on OK, before
    // take): a rule that reads is selected and the box shows its notation; one
    // that doesn't leaves the rule chosen before and the box as typed, and
    // rule_message says why. With the pattern filter on the Pattern list
    // follows, keeping the chosen pattern while it is listed.
    unsigned type_rule(const std::string& text);

    // OK: the settings to write, from the boxes' texts and the lists' selections
    // (-1, no selection, counts as the first entry). The state takes them too.
    // The Custom entry writes the rule of one's own as rule_text; any other
    // rule writes none.
    DialogSettings take(const std::string& field_size_box, const std::string& speed_box,
                        const std::string& reset_time_box, int family, int rule, int pattern, int picture);

    const DialogSettings& values() const { return d_; }
    int picture() const { return picture_; }
    bool checked(int control) const;  // a radio button or check box
    std::string field_size_text() const;
    std::string speed_text() const;
    std::string reset_time_text() const;  // "%2.2f": 12 shows as 12.00
    // The Rule box: the chosen rule's notation, and why the text typed last
    // was refused (empty when it read).
    std::string rule_box_text() const;
    const std::string& rule_message() const { return rule_message_; }
    // The pattern's rule offer, "Run it as B36/S23", carried out by the
    // command IDC_PATTERN_RULE; empty when there is none.
    std::string pattern_rule_offer() const;

    const ComboList& family_list() const { return family_list_; }
    const ComboList& rule_list() const { return rule_list_; }
    const ComboList& pattern_list() const { return pattern_list_; }
    const ComboList& picture_list() const { return picture_list_; }

private:
    void fill_pattern_list(int restore);
    void refill_pattern_list_keeping_choice();
    void fill_rule_list();
    void select_current();
    int custom_entry() const;  // the Custom entry's index; -1 while there is none
    unsigned choose_own_rule(unsigned refresh);
    unsigned settle(unsigned refresh);

    const MakerFiles& files_;
    DialogSettings d_;      // rule_text: the rule of one's own while Custom is chosen, else empty
    std::string own_rule_;  // the Custom entry's rule in B/S notation, chosen or not
    std::string rule_message_;
    std::optional<RuleSets> offered_rule_;
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
