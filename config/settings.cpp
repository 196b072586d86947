#include "config/settings.h"

#include "config/rule_text.h"

namespace orvex {

namespace {

int clamp_int(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
int outside_to(int v, int lo, int hi, int fallback) { return (v < lo || v > hi) ? fallback : v; }
int as_flag(int v) { return v != 0 ? 1 : 0; }

}  // namespace

void normalize_first_stage(Settings& s) {
    s.LightingNum = outside_to(s.LightingNum, 0, 3, 0);
    s.MainColor = outside_to(s.MainColor, kColorRed, kColorBlue, kColorBlue);
    s.DrawStyle = outside_to(s.DrawStyle, kStylePoints, kStyleQuads, kStyleTriangles);
    s.OneColor = as_flag(s.OneColor);
    s.MatrixTr = as_flag(s.MatrixTr);
    s.TextureFlag = as_flag(s.TextureFlag);
    s.Texture_Renew = as_flag(s.Texture_Renew);
    s.FieldPerMonitor = s.FieldPerMonitor == 1 ? 1 : 0;  // a newer setting: anything but 1 is off
    s.ResetMode = outside_to(s.ResetMode, kResetOff, kResetTime, kResetRepeat);
    // A NaN read from a damaged file compares false both ways; treat it as the minimum.
    if (!(s.ResetTimeValue >= 10.0)) s.ResetTimeValue = 10.0;
    if (s.ResetTimeValue > 600.0) s.ResetTimeValue = 600.0;
    s.field_size = clamp_int(s.field_size, kMinFieldSize, kMaxFieldSize);
    s.speed = clamp_int(s.speed, 1, 25);
    if (s.pattern < 0) s.pattern = 0;
    if (s.pattern > 6) s.pattern = kPatternFromFile;
    if (!s.rule_text.empty() && !read_rule(s.rule_text).rule) s.rule_text.clear();
}

void normalize_second_stage(Settings& s) {
    s.life_rule = outside_to(s.life_rule, 0, 11, 0);
    s.Family = outside_to(s.Family, kFamilyLife, kFamilyModifiedGeneration, kFamilyLife);
    // A rule of its own picks the family first, so that the bound below holds for it too.
    if (!s.rule_text.empty())
        if (const std::optional<RuleSets> rule = read_rule(s.rule_text).rule) s.Family = family_for(*rule, s.Family);
    if (s.Family != kFamilyLife && s.life_rule > 9) s.life_rule = 9;
}

}  // namespace orvex
