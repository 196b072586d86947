#include "seed/field_setup.h"

namespace orvex {

// The settings file stores the step's own numbers for the family and the reset mode.
constexpr bool same(int a, int b) { return a == b; }
static_assert(same(kFamilyLife, kLifeRules) && same(kFamilyGeneration, kGenerationRules) &&
              same(kFamilyModifiedGeneration, kModifiedGenerationRules));
static_assert(same(kResetOff, kNoReset) && same(kResetRepeat, kPeriodReset) && same(kResetTime, kTimeReset));
static_assert(kMinFieldSize == kSmallestField && kMaxFieldSize == kLargestField);

FieldSetup field_setup(const Settings& settings) {
    FieldSetup f{settings.Family, settings.life_rule, settings.field_size, settings.MatrixTr != 0, std::nullopt};
    if (!settings.rule_text.empty()) f.rule = read_rule(settings.rule_text).rule;
    return f;
}

ResetSetup reset_setup(const Settings& settings) { return {settings.ResetMode, settings.ResetTimeValue}; }

}  // namespace orvex
