#include "dialog/configure_dialog.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "config/rule_text.h"
#include "core/rules.h"
#include "dialog/dialog_ids.h"
#include "dialog/rule_choice.h"

namespace orvex {

namespace {

constexpr int kDefaultPattern = 4;  // "Big_Circles"

int selection(int index, const ComboList& list) {
    return (index >= 0 && index < static_cast<int>(list.entries.size())) ? index : 0;
}

bool in(int control, int first, int last) { return control >= first && control <= last; }

std::optional<RuleSets> own_sets(const std::string& rule_text) {
    return rule_text.empty() ? std::nullopt : read_rule(rule_text).rule;
}

RuleSets catalogue_rule(int family, int life_rule) {
    return catalogue_sets(family == kFamilyLife ? kLifeRules : kGenerationRules, life_rule);
}

}  // namespace

int box_integer(const std::string& text) {
    const std::string cut = text.substr(0, kMaxBoxText);
    const long value = std::strtol(cut.c_str(), nullptr, 10);  // saturates where atoi would overflow
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

double box_real(const std::string& text) {
    const std::string cut = text.substr(0, kMaxBoxText);
    return std::strtod(cut.c_str(), nullptr);
}

ConfigureDialogState::ConfigureDialogState(const MakerFiles& files, const DialogSettings& read)
    : files_(files), d_(read) {
    // A stored rule of one's own that runs as a catalogue rule opens as that rule.
    const TypedRule stored = typed_rule(d_.rule_text, d_.iFamily);
    d_.rule_text.clear();
    if (stored.kind == TypedRule::Kind::Catalogue) {
        d_.iFamily = stored.family;
        d_.life_rule = stored.life_rule;
    } else if (stored.kind == TypedRule::Kind::Own) {
        own_rule_ = rule_shown(d_.iFamily, d_.life_rule, stored.rule_text);
        choose_own_rule(kRefreshNothing);
    }
    // Pattern list, restoring the earlier choice: a built-in by its index, a file by its name.
    fill_pattern_list(1);
    picture_list_.entries = {kNoPicture};
    picture_ = 0;
    Fill_Combo(picture_list_, files_, 0, 1, ListMask::Pictures, d_, picture_);
    family_list_.entries.assign(std::begin(family_names), std::end(family_names));
    fill_rule_list();
    select_current();
}

void ConfigureDialogState::fill_pattern_list(int restore) {
    Fill_Pattern_Combo_Start(pattern_list_);
    int unused_picture = 0;
    Fill_Combo(pattern_list_, files_, d_.iAllPatterns, restore, ListMask::Patterns, d_, unused_picture);
    if (restore == 0) d_.pattern = 0;
    d_.pattern = selection(d_.pattern, pattern_list_);
}

void ConfigureDialogState::refill_pattern_list_keeping_choice() {
    const int kept = d_.pattern;
    const std::string entry = pattern_list_.entries[static_cast<std::size_t>(kept)];
    fill_pattern_list(0);
    if (kept < kBuiltInPatternCount) {
        d_.pattern = kept;
        return;
    }
    const auto files = pattern_list_.entries.begin() + kBuiltInPatternCount;
    const auto found = std::find(files, pattern_list_.entries.end(), entry);
    if (found != pattern_list_.entries.end()) d_.pattern = static_cast<int>(found - pattern_list_.entries.begin());
}

void ConfigureDialogState::fill_rule_list() {
    if (d_.iFamily == kFamilyLife)
        rule_list_.entries.assign(std::begin(life_display_names), std::end(life_display_names));
    else
        rule_list_.entries.assign(std::begin(generations_display_names), std::end(generations_display_names));
    if (!own_rule_.empty()) rule_list_.entries.emplace_back(kCustomRuleEntry);
}

int ConfigureDialogState::custom_entry() const {
    return own_rule_.empty() ? -1 : static_cast<int>(rule_list_.entries.size()) - 1;
}

void ConfigureDialogState::select_current() {
    family_list_.selected = selection(d_.iFamily, family_list_);
    rule_list_.selected = d_.rule_text.empty() ? selection(d_.life_rule, rule_list_) : custom_entry();
    pattern_list_.selected = selection(d_.pattern, pattern_list_);
    picture_list_.selected = selection(picture_, picture_list_);

    offered_rule_.reset();
    const auto chosen = static_cast<std::size_t>(pattern_list_.selected);
    if (chosen < pattern_list_.files.size() && !pattern_list_.files[chosen].empty()) {
        const std::optional<RuleSets> named = pattern_file_rule(files_, pattern_list_.files[chosen]);
        const RuleSets running = own_sets(d_.rule_text).value_or(catalogue_rule(d_.iFamily, d_.life_rule));
        if (named && !(*named == running)) offered_rule_ = named;
    }
}

// Selects the Custom entry's rule, under the family it runs in.
unsigned ConfigureDialogState::choose_own_rule(unsigned refresh) {
    const int family = family_for(*read_rule(own_rule_).rule, d_.iFamily);
    d_.rule_text = own_rule_;
    if (family != d_.iFamily) {
        d_.iFamily = family;
        d_.life_rule = 0;
        refresh |= kRefreshRuleList;
    }
    fill_rule_list();
    return refresh | kRefreshSelections | kRefreshRuleBox;
}

// Selections and the pattern's rule offer brought up to date; a Rule box
// shown anew has no message.
unsigned ConfigureDialogState::settle(unsigned refresh) {
    const std::string offer = pattern_rule_offer();
    select_current();
    if ((refresh & kRefreshRuleBox) && !rule_message_.empty()) {
        rule_message_.clear();
        refresh |= kRefreshRuleNotes;
    }
    if (pattern_rule_offer() != offer) refresh |= kRefreshRuleNotes;
    return refresh;
}

std::string ConfigureDialogState::pattern_rule_offer() const {
    return offered_rule_ ? "Run it as " + rule_notation(*offered_rule_) : std::string();
}

std::string ConfigureDialogState::rule_box_text() const { return rule_shown(d_.iFamily, d_.life_rule, d_.rule_text); }

bool ConfigureDialogState::checked(int control) const {
    switch (control) {
        case IDC_ONE_COLOR: return d_.iOneColor == 1;
        case IDC_PICTURE_ON: return d_.iTexture == 1;
        case IDC_ONLY_RULE_PATTERNS: return d_.iAllPatterns == 1;
        case IDC_TRANSPARENT_BORDERS: return d_.iMatrixTr == 1;
        case IDC_PICTURE_CYCLING: return d_.iCycleTexture == 1;
        case IDC_FIELD_PER_MONITOR: return d_.iFieldPerMonitor == 1;
        default: break;
    }
    return control == d_.iMainColor || control == d_.iDrawStyle || control == d_.iLightingNum ||
           control == d_.iResetMode;
}

unsigned ConfigureDialogState::command(int control) {
    auto flip = [](int& flag) { flag = flag == 0 ? 1 : 0; };
    if (in(control, IDC_RED, IDC_BLUE)) {
        d_.iMainColor = control;
    } else if (in(control, IDC_POINTS, IDC_QUADS)) {
        d_.iDrawStyle = control;
    } else if (in(control, IDC_LIGHTS_OFF, IDC_LIGHTS_3)) {
        d_.iLightingNum = control;
    } else if (in(control, IDC_RESET_OFF, IDC_RESET_ON_TIME)) {
        d_.iResetMode = control;
    } else if (control == IDC_ONE_COLOR) {
        flip(d_.iOneColor);
    } else if (control == IDC_PICTURE_ON) {
        flip(d_.iTexture);
    } else if (control == IDC_TRANSPARENT_BORDERS) {
        flip(d_.iMatrixTr);
    } else if (control == IDC_PICTURE_CYCLING) {
        flip(d_.iCycleTexture);
    } else if (control == IDC_FIELD_PER_MONITOR) {
        flip(d_.iFieldPerMonitor);
    } else if (control == IDC_ONLY_RULE_PATTERNS) {
        flip(d_.iAllPatterns);
        fill_pattern_list(0);
        return settle(kRefreshButtons | kRefreshPatternList | kRefreshSelections);
    } else if (control == IDC_PATTERN_RULE) {
        return offered_rule_ ? type_rule(rule_notation(*offered_rule_)) : kRefreshNothing;
    } else if (control == IDC_DEFAULT) {
        // Family, the catalogue rule and the pattern filter stay as they are;
        // a rule of one's own is left for that catalogue rule.
        unsigned refresh = kRefreshButtons | kRefreshSelections | kRefreshBoxes | kRefreshRuleBox | kRefreshRuleNotes;
        if (!d_.rule_text.empty()) {
            d_.rule_text.clear();
            fill_pattern_list(0);
            refresh |= kRefreshPatternList;
        }
        d_.iLightingNum = IDC_LIGHTS_OFF;
        d_.iMainColor = IDC_BLUE;
        d_.iDrawStyle = IDC_LINES;
        d_.iOneColor = 1;
        d_.iMatrixTr = 0;
        d_.iTexture = 0;
        d_.iCycleTexture = 0;
        d_.iFieldPerMonitor = 0;
        d_.iResetMode = IDC_RESET_ON_TIME;
        d_.iResetTime = 12.0f;
        d_.field_size = 250;
        d_.speed = 18;
        d_.pattern = kDefaultPattern;
        picture_ = 0;
        return settle(refresh);
    } else {
        return kRefreshNothing;
    }
    return kRefreshButtons;
}

unsigned ConfigureDialogState::choose_family(int index) {
    const int chosen = selection(index, family_list_);
    unsigned refresh = kRefreshSelections;
    const std::optional<RuleSets> own = own_sets(d_.rule_text);
    if (own && family_for(*own, chosen) == chosen) {
        d_.iFamily = chosen;  // a Generations rule of one's own, with or without Modified Generation
    } else if (chosen != d_.iFamily) {
        d_.iFamily = chosen;
        d_.rule_text.clear();
        fill_rule_list();
        d_.life_rule = 0;
        fill_pattern_list(0);
        refresh |= kRefreshRuleList | kRefreshPatternList | kRefreshRuleBox;
    }
    return settle(refresh);
}

unsigned ConfigureDialogState::choose_rule(int index) {
    const int chosen = selection(index, rule_list_);
    unsigned refresh = kRefreshSelections;
    if (chosen == custom_entry()) {
        if (d_.rule_text.empty()) {
            refresh = choose_own_rule(refresh);
            fill_pattern_list(0);
            refresh |= kRefreshPatternList;
        }
    } else if (chosen != d_.life_rule || !d_.rule_text.empty()) {
        d_.life_rule = chosen;
        d_.rule_text.clear();
        fill_pattern_list(0);
        refresh |= kRefreshPatternList | kRefreshRuleBox;
    }
    return settle(refresh);
}

unsigned ConfigureDialogState::choose_pattern(int index) {
    d_.pattern = selection(index, pattern_list_);
    return settle(kRefreshNothing);
}

unsigned ConfigureDialogState::type_rule(const std::string& text) {
    const TypedRule typed = typed_rule(text, d_.iFamily);
    if (typed.kind == TypedRule::Kind::Refused) {
        rule_message_ = typed.message;
        return kRefreshRuleNotes;
    }
    const DialogSettings before = d_;
    unsigned refresh = kRefreshSelections | kRefreshRuleBox;
    if (typed.kind == TypedRule::Kind::Catalogue) {
        d_.iFamily = typed.family;
        d_.life_rule = typed.life_rule;
        d_.rule_text.clear();
        fill_rule_list();
        refresh |= kRefreshRuleList;
    } else {
        own_rule_ = rule_shown(d_.iFamily, d_.life_rule, typed.rule_text);  // in B/S notation
        refresh = choose_own_rule(refresh | kRefreshRuleList);
    }
    if (d_.iAllPatterns == 1 &&
        (d_.iFamily != before.iFamily || d_.life_rule != before.life_rule || d_.rule_text != before.rule_text)) {
        refill_pattern_list_keeping_choice();
        refresh |= kRefreshPatternList;
    }
    return settle(refresh);
}

DialogSettings ConfigureDialogState::take(const std::string& field_size_box, const std::string& speed_box,
                                          const std::string& reset_time_box, int family, int rule, int pattern,
                                          int picture) {
    d_.field_size = std::clamp(box_integer(field_size_box), kMinFieldSize, kMaxFieldSize);
    d_.speed = std::clamp(box_integer(speed_box), 1, 25);
    double reset = box_real(reset_time_box);
    if (!(reset >= 10.0)) reset = 10.0;  // NaN too
    if (reset > 600.0) reset = 600.0;
    d_.iResetTime = static_cast<float>(reset);

    d_.iFamily = selection(family, family_list_);
    const int chosen_rule = selection(rule, rule_list_);
    if (chosen_rule == custom_entry()) {
        d_.rule_text = own_rule_;
        d_.iFamily = family_for(*read_rule(own_rule_).rule, d_.iFamily);
    } else {
        d_.life_rule = chosen_rule;
        d_.rule_text.clear();
    }
    d_.pattern = selection(pattern, pattern_list_);
    picture_ = selection(picture, picture_list_);
    d_.picture_name = picture_list_.entries[static_cast<std::size_t>(picture_)];
    d_.pattern_name = pattern_list_.entries[static_cast<std::size_t>(d_.pattern)];
    if (d_.picture_name == kNoPicture) d_.iTexture = 0;
    settle(kRefreshNothing);
    return d_;
}

std::string ConfigureDialogState::field_size_text() const { return std::to_string(d_.field_size); }
std::string ConfigureDialogState::speed_text() const { return std::to_string(d_.speed); }

std::string ConfigureDialogState::reset_time_text() const {
    char text[64];
    std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(d_.iResetTime));
    return text;
}

}  // namespace orvex
