#include "host/web/page_text.h"

#include "dialog/dialog_ids.h"

namespace orvex::web {

namespace {

DialogSettings panel_settings(const std::string& settings_text) {
    return settings_text.empty() ? dialog_settings_without_file() : parse_dialog_settings(settings_text);
}

}  // namespace

std::string corrected_settings_text(const std::string& text) {
    return format_settings_file(parse_dialog_settings(text));
}

SettingsPanel::SettingsPanel(const MakerFiles& files, const std::string& settings_text)
    : state_(files, panel_settings(settings_text)) {}

unsigned SettingsPanel::choose(int list, int index) {
    switch (list) {
        case IDC_FAMILY: return state_.choose_family(index);
        case IDC_RULE: return state_.choose_rule(index);
        case IDC_PATTERN: return state_.choose_pattern(index);
        default: return kRefreshNothing;
    }
}

std::string SettingsPanel::take(const std::string& field_size, const std::string& speed, const std::string& reset_time,
                                int family, int rule, int pattern, int picture) {
    return format_settings_file(state_.take(field_size, speed, reset_time, family, rule, pattern, picture));
}

}  // namespace orvex::web
