// Drawing of the cell field, once per frame, inside the frame's model
// transform: every cell that is not empty becomes a point, a diamond of four
// triangles, lines to its live neighbours or a square, in model coordinates
// x = i / N, y = j / N, z = -4 (N the field side). With a picture on, every
// vertex carries the same numbers as texture coordinates, so the picture spans
// the field once.
//
// Two ways to hand the vertices to OpenGL, both OpenGL 1.1 and giving the same
// pixels: client-side vertex arrays (the default), filled per frame into a
// batch buffer that lives with the drawer and is drawn with glDrawArrays
// whenever it is full, or one glBegin/glEnd pair per frame with a call per
// vertex (immediate mode), kept as the reference the arrays are checked against.
#pragma once

#include <cstddef>
#include <vector>

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

enum class DrawMode { Immediate, Arrays };

class CellDrawer {
public:
    // Vertices per glDrawArrays call; the buffer holds this many (at least one
    // cell's worth) and is allocated on the first frame drawn with arrays.
    static constexpr std::size_t kDefaultBatchVertices = std::size_t{1} << 15;

    explicit CellDrawer(std::size_t batch_vertices = kDefaultBatchVertices);

    DrawMode mode() const { return mode_; }
    void set_mode(DrawMode mode) { mode_ = mode; }
    std::size_t batch_vertices() const { return capacity_; }
    // Takes effect on the next frame; the buffer is then allocated anew.
    void set_batch_vertices(std::size_t vertices);

    // Life family: every non-empty cell alike.
    void RenderLife(const Automaton& field, const CellDrawing& d);
    // Generations families: cells shaded by their age.
    void RenderGenerations(const Automaton& field, const CellDrawing& d);

    // Interleaved array element: position (also the texture coordinates) and colour.
    struct Vertex {
        float x, y, z;
        float r, g, b;
    };

private:
    template <typename ColourOf>
    void draw(const Automaton& field, const CellDrawing& d, ColourOf colour_of);

    DrawMode mode_ = DrawMode::Arrays;
    std::size_t capacity_;
    std::vector<Vertex> batch_;
};

}  // namespace orvex
