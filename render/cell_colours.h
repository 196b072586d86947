// Colours of the drawn cells: the main colour, the two ramps over the cell
// indices and, in the Generations families, the age shade. No OpenGL here; the
// cell drawing hands these colours on as colour or material.
#pragma once

#include <cstdint>

namespace orvex {

struct CellRgb {
    float r, g, b;
};

// Age shade of a Generations cell in state s of a rule with L states:
// (L - s) / L, so live cells are (L - 1) / L and the last dying state 1 / L.
float age_shade(int states, std::int32_t s);

class CellColours {
public:
    // main_color: 1020 red, 1021 green, 1022 blue. one_color_flag 0 turns the ramps off.
    CellColours(int field_size, int main_color, int one_color_flag);

    // Row ramp for first index i; call before the cells of the row.
    void set_row(int i);

    CellRgb life(int j) const;
    // The ramps alone: the row ramp of first index i, the column ramp of second index j.
    float row_ramp(int i) const;
    float column_ramp(int j) const { return static_cast<float>(j) * k_; }
    // The main channel of a cell of age shade g (1 in the Life family).
    static float main_channel(float g);
    // g: the age shade; quads: the Quads variant, whose ramps are shaded too.
    CellRgb generations(int j, float g, bool quads) const;

private:
    CellRgb place(float main, float column, float row) const;

    int field_size_;
    int main_index_;  // 0 red, 1 green, 2 blue
    int one_color_flag_;
    float k_;   // column ramp per column
    float ri_;  // row ramp of the current row
};

}  // namespace orvex
