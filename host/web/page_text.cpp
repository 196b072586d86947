#include "host/web/page_text.h"

#include "config/rule_text.h"
#include "dialog/dialog_ids.h"
#include "dialog/rule_choice.h"

namespace orvex::web {

namespace {

// The settings the panel opens on. A rule of their own that runs as a
// catalogue rule opens as that rule, as it would be chosen when typed; any
// other is kept apart in own_rule, in B/S notation.
DialogSettings panel_settings(const std::string& settings_text, std::string& own_rule) {
    DialogSettings d = settings_text.empty() ? dialog_settings_without_file() : parse_dialog_settings(settings_text);
    if (d.rule_text.empty()) return d;
    const TypedRule typed = typed_rule(d.rule_text, d.iFamily);
    if (typed.kind == TypedRule::Kind::Catalogue) {
        d.iFamily = typed.family;
        d.life_rule = typed.life_rule;
    } else if (typed.kind == TypedRule::Kind::Own) {
        own_rule = rule_shown(d.iFamily, d.life_rule, typed.rule_text);
    }
    d.rule_text.clear();
    return d;
}

}  // namespace

std::string corrected_settings_text(const std::string& text) {
    return format_settings_file(parse_dialog_settings(text));
}

SettingsPanel::SettingsPanel(const MakerFiles& files, const std::string& settings_text)
    : state_(files, panel_settings(settings_text, own_rule_)) {
    custom_ = !own_rule_.empty();
}

unsigned SettingsPanel::choose(int list, int index) {
    if (list == IDC_FAMILY || list == IDC_RULE) rule_message_.clear();
    if (list == IDC_RULE && index == custom_index() && !own_rule_.empty()) {
        custom_ = true;
        return kRefreshSelections;
    }
    if (list == IDC_FAMILY) {
        const bool changed = index != state_.family_list().selected;
        const unsigned refresh = state_.choose_family(index);
        // Another family's rules: its first one is chosen, as the dialog does.
        if (changed) custom_ = false;
        return refresh;
    }
    if (list == IDC_RULE) {
        custom_ = false;
        return state_.choose_rule(index);
    }
    if (list == IDC_PATTERN) return state_.choose_pattern(index);
    return kRefreshNothing;
}

unsigned SettingsPanel::type_rule(const std::string& text) {
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {  // nothing typed: the rule chosen stays
        rule_message_.clear();
        return kRefreshSelections;
    }
    const TypedRule typed = typed_rule(text, state_.family_list().selected);
    switch (typed.kind) {
        case TypedRule::Kind::Refused: rule_message_ = typed.message; return kRefreshNothing;
        case TypedRule::Kind::Catalogue: {
            rule_message_.clear();
            custom_ = false;
            unsigned refresh = kRefreshSelections;
            if (typed.family != state_.family_list().selected) refresh |= state_.choose_family(typed.family);
            return refresh | state_.choose_rule(typed.life_rule);
        }
        case TypedRule::Kind::Own: break;
    }
    rule_message_.clear();
    own_rule_ = rule_shown(0, 0, typed.rule_text);
    custom_ = true;
    return kRefreshSelections | kRefreshRuleList;
}

ComboList SettingsPanel::rule_list() const {
    ComboList list = state_.rule_list();
    if (!own_rule_.empty()) list.entries.emplace_back(kCustomRuleEntry);
    if (custom_) list.selected = custom_index();
    return list;
}

std::string SettingsPanel::rule_text() const {
    const ComboList& rules = state_.rule_list();
    return rule_shown(state_.family_list().selected, rules.selected, custom_ ? own_rule_ : std::string());
}

std::string SettingsPanel::take(const std::string& field_size, const std::string& speed, const std::string& reset_time,
                                int family, int rule, int pattern, int picture) {
    custom_ = rule == custom_index() && !own_rule_.empty();
    // Under a rule of one's own the catalogue rule chosen before stays in lines 3 and 4.
    if (custom_) rule = state_.rule_list().selected;
    DialogSettings d = state_.take(field_size, speed, reset_time, family, rule, pattern, picture);
    d.rule_text = custom_ ? own_rule_ : std::string();
    return format_settings_file(d);
}

}  // namespace orvex::web
