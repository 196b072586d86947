// What the page's script hands the module as text: settings from storage, a
// link or a file, and the settings panel's boxes and choices. Nothing here
// needs the browser, so it is built and fuzzed natively too.
#pragma once

#include <string>

#include "config/settings_file.h"
#include "dialog/configure_dialog.h"
#include "dialog/dialog_lists.h"

namespace orvex::web {

// The settings text the page keeps, brought through the dialog reading's range
// rules and written back as the settings file writes it (19 lines, CR LF).
std::string corrected_settings_text(const std::string& text);

// The settings panel over the configuration dialog's logic: opened on a
// settings text ("" for no stored settings), changed by commands and list
// choices, and on OK the settings file's text.
//
// Beside the Rule list the panel has a Rule box (dialog/rule_choice.h): a rule
// typed there selects the catalogue rule that runs as it does, or else the
// "Custom" entry at the end of the list, which then holds the typed rule (in
// B/S notation); a rule that doesn't read leaves the choice as it was and
// gives the reader's message. Choosing a family or a catalogue rule leaves
// the Custom entry, which stays in the list to be chosen again.
class SettingsPanel {
public:
    SettingsPanel(const MakerFiles& files, const std::string& settings_text);

    unsigned command(int control) { return state_.command(control); }
    // A choice in the Family, Rule or Pattern list; other lists change nothing.
    unsigned choose(int list, int index);
    // The Rule box's text, committed.
    unsigned type_rule(const std::string& text);
    // rule: the index in rule_list(), the Custom entry included.
    std::string take(const std::string& field_size, const std::string& speed, const std::string& reset_time, int family,
                     int rule, int pattern, int picture);
    const ConfigureDialogState& state() const { return state_; }

    // The dialog's Rule list, with the Custom entry while there is a rule of one's own.
    ComboList rule_list() const;
    // The notation of the rule chosen, for the Rule box.
    std::string rule_text() const;
    // Why the last text typed in the Rule box was refused; empty after any choice that went through.
    const std::string& rule_message() const { return rule_message_; }

private:
    int custom_index() const { return static_cast<int>(state_.rule_list().entries.size()); }

    std::string own_rule_;  // the Custom entry's rule in B/S notation; empty: no such entry (set before state_)
    bool custom_ = false;   // the Custom entry is the one chosen
    std::string rule_message_;
    ConfigureDialogState state_;
};

}  // namespace orvex::web
