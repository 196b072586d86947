#include "render/cell_colours.h"

#include "config/settings.h"

namespace orvex {

namespace {

constexpr double kRampSpan = 0.65;  // the ramps run from 0 to nearly this
constexpr double kMainLevel = 0.9;
constexpr double kQuadsRampGain = 1.3;

int main_index(int main_color) {
    if (main_color == kColorRed) return 0;
    if (main_color == kColorGreen) return 1;
    return 2;
}

}  // namespace

float age_shade(int states, std::int32_t s) { return static_cast<float>(states - s) / static_cast<float>(states); }

CellColours::CellColours(int field_size, int main_color, int one_color_flag)
    : field_size_(field_size),
      main_index_(main_index(main_color)),
      one_color_flag_(one_color_flag),
      k_(static_cast<float>(one_color_flag * kRampSpan / field_size)),
      ri_(0.0f) {}

float CellColours::row_ramp(int i) const { return static_cast<float>(one_color_flag_ * kRampSpan * i / field_size_); }

void CellColours::set_row(int i) { ri_ = row_ramp(i); }

float CellColours::main_channel(float g) { return static_cast<float>(kMainLevel * g); }

// The main channel takes main; of the other two, the one after it (in red,
// green, blue order, going round) takes the column ramp, the last the row ramp.
CellRgb CellColours::place(float main, float column, float row) const {
    float c[3];
    c[main_index_] = main;
    c[(main_index_ + 1) % 3] = column;
    c[(main_index_ + 2) % 3] = row;
    return {c[0], c[1], c[2]};
}

CellRgb CellColours::life(int j) const { return place(main_channel(1.0f), column_ramp(j), ri_); }

CellRgb CellColours::generations(int j, float g, bool quads) const {
    const float main = main_channel(g);
    const float cj = column_ramp(j);
    if (!quads) return place(main, cj, ri_);
    return place(main, static_cast<float>(cj * g * kQuadsRampGain), static_cast<float>(ri_ * g * kQuadsRampGain));
}

}  // namespace orvex
