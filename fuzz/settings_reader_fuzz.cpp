// Both settings file readers on arbitrary bytes: every value they hand on must
// already be in range, and what the dialog reads must survive its own writer.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/rule_text.h"
#include "config/settings_file.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

bool flag(int v) { return v == 0 || v == 1; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    Settings s = parse_startup_settings(text);
    require(s.MainColor >= 1020 && s.MainColor <= 1022);
    require(s.DrawStyle >= 1025 && s.DrawStyle <= 1028);
    require(s.LightingNum >= 0 && s.LightingNum <= 3);
    require(s.ResetMode >= 0 && s.ResetMode <= 2);
    require(s.ResetTimeValue >= 10.0 && s.ResetTimeValue <= 600.0);
    require(s.field_size >= 100 && s.field_size <= 1000);
    require(s.speed >= 1 && s.speed <= 25);
    require((s.pattern >= 0 && s.pattern <= 6) || s.pattern == kPatternFromFile);
    require(flag(s.OneColor) && flag(s.MatrixTr) && flag(s.TextureFlag) && flag(s.Texture_Renew));
    require(s.pattern_name.size() <= kMaxStoredNameLength);
    require(s.picture_name.size() <= kMaxStoredNameLength + 4);
    require(s.rule_text.empty() || read_rule(s.rule_text).rule);
    normalize_second_stage(s);
    require(s.Family >= 0 && s.Family <= 2 && s.life_rule >= 0 && s.life_rule <= (s.Family == 0 ? 11 : 9));

    const DialogSettings d = parse_dialog_settings(text);
    require(d.iLightingNum >= 1045 && d.iLightingNum <= 1048);
    require(d.iResetMode >= 1049 && d.iResetMode <= 1051);
    require(d.iResetTime >= 10.0f && d.iResetTime <= 600.0f);
    require(d.pattern >= 0 && d.pattern <= 6);
    require(d.life_rule >= 0 && d.life_rule <= (d.iFamily == 0 ? 11 : 9));

    // Writing and reading again gives the same record.
    const DialogSettings back = parse_dialog_settings(format_settings_file(d));
    require(back.iMainColor == d.iMainColor && back.iDrawStyle == d.iDrawStyle && back.iFamily == d.iFamily);
    require(back.life_rule == d.life_rule && back.pattern == d.pattern && back.speed == d.speed);
    require(back.field_size == d.field_size && back.iOneColor == d.iOneColor && back.iAllPatterns == d.iAllPatterns);
    require(back.iLightingNum == d.iLightingNum && back.iMatrixTr == d.iMatrixTr && back.iTexture == d.iTexture);
    require(back.iCycleTexture == d.iCycleTexture && back.iResetMode == d.iResetMode);
    require(std::fabs(back.iResetTime - d.iResetTime) <= 1e-6f * 600.0f);
    require(back.pattern_name == d.pattern_name && back.picture_name == d.picture_name);
    require(back.rule_text == d.rule_text && (d.rule_text.empty() || read_rule(d.rule_text).rule));
    return 0;
}
