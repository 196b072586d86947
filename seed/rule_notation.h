// Rules as pattern files name them, matched to the built-in catalogue the way
// the pattern list has always matched them.
//
// A file's rule text is read as any typed rule is (config/rule_text.h).
// catalogue_rule() takes its birth and survive counts as the catalogue tables
// write them, so a file in "B36/S23" is listed under High Life, whose table
// holds those counts, although High Life runs as B36/S236.
#pragma once

#include <optional>
#include <string_view>

#include "config/rule_text.h"
#include "core/rules.h"

namespace orvex {

std::optional<RuleSets> parse_rule(std::string_view text);

// The catalogue rule whose tables hold exactly these counts (and, for
// Generations, states); none for a non-totalistic rule.
std::optional<CatalogueRule> catalogue_rule(const RuleSets& sets);
std::optional<CatalogueRule> catalogue_rule(std::string_view text);

}  // namespace orvex
