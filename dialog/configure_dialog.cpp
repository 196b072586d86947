#include "dialog/configure_dialog.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "core/rules.h"
#include "dialog/dialog_ids.h"

namespace orvex {

namespace {

constexpr int kDefaultPattern = 4;  // "Big_Circles"

int selection(int index, const ComboList& list) {
    return (index >= 0 && index < static_cast<int>(list.entries.size())) ? index : 0;
}

bool in(int control, int first, int last) { return control >= first && control <= last; }

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
    if (d_.iAllPatterns == 0 || d_.iFamily == kFamilyLife) {
        int unused_picture = 0;
        Fill_Combo(pattern_list_, files_, d_.iAllPatterns, restore, ListMask::Patterns, d_, unused_picture);
    }
    // Without restoring, and when the filter hides every file, the first entry.
    if (restore == 0 || !(d_.iAllPatterns == 0 || d_.iFamily == kFamilyLife)) d_.pattern = 0;
    d_.pattern = selection(d_.pattern, pattern_list_);
}

void ConfigureDialogState::fill_rule_list() {
    if (d_.iFamily == kFamilyLife)
        rule_list_.entries.assign(std::begin(life_display_names), std::end(life_display_names));
    else
        rule_list_.entries.assign(std::begin(generations_display_names), std::end(generations_display_names));
}

void ConfigureDialogState::select_current() {
    family_list_.selected = selection(d_.iFamily, family_list_);
    rule_list_.selected = selection(d_.life_rule, rule_list_);
    pattern_list_.selected = selection(d_.pattern, pattern_list_);
    picture_list_.selected = selection(picture_, picture_list_);
}

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
        select_current();
        return kRefreshButtons | kRefreshPatternList | kRefreshSelections;
    } else if (control == IDC_DEFAULT) {
        // Family, rule and the pattern filter stay as they are.
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
        select_current();
        return kRefreshButtons | kRefreshSelections | kRefreshBoxes;
    } else {
        return kRefreshNothing;
    }
    return kRefreshButtons;
}

unsigned ConfigureDialogState::choose_family(int index) {
    const int chosen = selection(index, family_list_);
    unsigned refresh = kRefreshSelections;
    if (chosen != d_.iFamily) {
        d_.iFamily = chosen;
        fill_rule_list();
        d_.life_rule = 0;
        fill_pattern_list(0);
        refresh |= kRefreshRuleList | kRefreshPatternList;
    }
    select_current();
    return refresh;
}

unsigned ConfigureDialogState::choose_rule(int index) {
    const int chosen = selection(index, rule_list_);
    unsigned refresh = kRefreshSelections;
    if (chosen != d_.life_rule) {
        d_.life_rule = chosen;
        fill_pattern_list(0);
        refresh |= kRefreshPatternList;
    }
    select_current();
    return refresh;
}

unsigned ConfigureDialogState::choose_pattern(int index) {
    d_.pattern = selection(index, pattern_list_);
    select_current();
    return kRefreshNothing;
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
    d_.life_rule = selection(rule, rule_list_);
    d_.pattern = selection(pattern, pattern_list_);
    picture_ = selection(picture, picture_list_);
    d_.picture_name = picture_list_.entries[static_cast<std::size_t>(picture_)];
    d_.pattern_name = pattern_list_.entries[static_cast<std::size_t>(d_.pattern)];
    if (d_.picture_name == kNoPicture) d_.iTexture = 0;
    select_current();
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
