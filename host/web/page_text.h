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
// settings text ("" for no stored settings), changed by commands, list
// choices and the Rule box, and on OK the settings file's text. The Rule box,
// the Custom entry and the pattern's rule offer are the dialog's own.
class SettingsPanel {
public:
    SettingsPanel(const MakerFiles& files, const std::string& settings_text);

    unsigned command(int control) { return state_.command(control); }
    // A choice in the Family, Rule or Pattern list; other lists change nothing.
    unsigned choose(int list, int index);
    // The Rule box's text, committed.
    unsigned type_rule(const std::string& text) { return state_.type_rule(text); }
    std::string take(const std::string& field_size, const std::string& speed, const std::string& reset_time, int family,
                     int rule, int pattern, int picture);
    const ConfigureDialogState& state() const { return state_; }

private:
    ConfigureDialogState state_;
};

}  // namespace orvex::web
