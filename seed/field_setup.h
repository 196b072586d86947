// The field and the reset check that a run's settings describe.
#pragma once

#include "config/settings.h"
#include "core/automaton.h"
#include "core/reset_check.h"

namespace orvex {

FieldSetup field_setup(const Settings& settings);
ResetSetup reset_setup(const Settings& settings);

}  // namespace orvex
