// Drawing of the cell field, once per frame, inside the frame's model
// transform: every cell that is not empty becomes a point, a diamond of four
// triangles, lines to its live neighbours or a square, in model coordinates
// x = i / N, y = j / N, z = -4 (N the field side). With a picture on, every
// vertex carries the same numbers as texture coordinates, so the picture spans
// the field once. One glBegin/glEnd pair per frame; immediate mode.
#pragma once

#include "config/settings.h"
#include "core/automaton.h"

namespace orvex {

struct CellDrawing {
    int DrawStyle = kStyleTriangles;  // 1025 points, 1026 triangles, 1027 lines, 1028 quads
    int MainColor = kColorBlue;       // 1020 red, 1021 green, 1022 blue
    int LightingNum = 0;     // not 0: colours go to the material, pictures are modulated
    int one_color_flag = 1;  // 0: main colour only
    bool textured = false;   // a picture is on and loaded into texture
    unsigned texture = 0;
};

// Life family: every non-empty cell alike.
void RenderLife(const Automaton& field, const CellDrawing& d);
// Generations families: cells shaded by their age.
void RenderGenerations(const Automaton& field, const CellDrawing& d);

}  // namespace orvex
