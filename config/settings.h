// The settings record: everything the user can choose, with its start values
// and the two normalisation stages that bring loaded values into range.
//
// MainColor and DrawStyle hold the identifiers of the configuration dialog's
// radio buttons, in memory as in the settings file.
#pragma once

#include <string>

namespace orvex {

enum MainColorId : int { kColorRed = 1020, kColorGreen = 1021, kColorBlue = 1022 };
enum DrawStyleId : int { kStylePoints = 1025, kStyleTriangles = 1026, kStyleLines = 1027, kStyleQuads = 1028 };
enum FamilyId : int { kFamilyLife = 0, kFamilyGeneration = 1, kFamilyModifiedGeneration = 2 };
enum ResetModeId : int { kResetOff = 0, kResetRepeat = 1, kResetTime = 2 };

// Seed codes besides the built-in 0..6.
constexpr int kPatternFromFile = 10;

constexpr int kMinFieldSize = 100;
constexpr int kMaxFieldSize = 1000;

struct Settings {
    int MainColor = kColorBlue;
    int DrawStyle = kStyleTriangles;
    int Family = kFamilyLife;
    int life_rule = 0;
    int pattern = 0;
    int speed = 1;
    int field_size = kMinFieldSize;
    int OneColor = 0;
    int LightingNum = 0;
    int MatrixTr = 0;
    int TextureFlag = 0;
    int Texture_Renew = 0;
    int ResetMode = kResetOff;
    double ResetTimeValue = 10.0;
    std::string pattern_name;  // up to 30 characters
    std::string picture_name;  // up to 34 characters (name + ".bmp")
    // "A field on each monitor": full screen, one saver per monitor instead of
    // one field over all of them. 0 or 1.
    int FieldPerMonitor = 0;
    // A rule of its own in B/S notation (config/rule_text.h), run in place of
    // the catalogue's (Family, life_rule); empty for the catalogue's.
    std::string rule_text;
};

// First stage: run right after the settings file has been read (or found missing).
void normalize_first_stage(Settings& s);

// Second stage: run after the pattern file step; afterwards every rule-table
// access by (Family, life_rule) is in bounds, and with a rule of its own Family
// is the one it runs under (family_for).
void normalize_second_stage(Settings& s);

}  // namespace orvex
