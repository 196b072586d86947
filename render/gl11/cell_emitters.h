// The three emitters that take the walked cells to OpenGL: glBegin/glEnd,
// client arrays drawn batch by batch, and the vertices kept from build to build
// (which the kept-geometry buffers then draw). Each walks the whole field once,
// for the colours given (LifeColours or GenerationsColours), in the style of d;
// the first two add the bytes their calls hand over to `bytes`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/automaton.h"
#include "render/cell_walk.h"
#include "render/gl11/cell_drawing.h"

namespace orvex {

// The plane of the cells in model coordinates.
inline constexpr float kCellPlaneZ = -4.0f;

// Kept vertices: position on the plane, colour as the material (lit) or as bytes.
struct LitVertex {
    float x, y;
    float r, g, b;
};
struct PlainVertex {
    float x, y;
    std::uint8_t r, g, b, a;
};

// The OpenGL primitive a style is drawn with (a GLenum).
unsigned cell_primitive(int style);

template <typename Colours>
struct CellEmitters {
    // One glBegin/glEnd pair.
    static void immediate(const Automaton& field, const CellDrawing& d, Colours colours, std::size_t& bytes);
    // Through the batch buffer of `capacity` vertices, one glDrawArrays each time it is full.
    static void arrays(const Automaton& field, const CellDrawing& d, Colours colours, CellDrawer::Vertex* batch,
                       std::size_t capacity, std::size_t& bytes);
    // Into `out` as LitVertex (d lit) or PlainVertex, diamonds as their five
    // corners, growing it when needed but never shrinking it; returns the vertices written.
    static std::size_t kept(const Automaton& field, const CellDrawing& d, Colours colours,
                            std::vector<unsigned char>& out);
};

extern template struct CellEmitters<LifeColours>;
extern template struct CellEmitters<GenerationsColours>;

}  // namespace orvex
