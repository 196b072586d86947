// The walk over the cell field that every way of drawing shares: which cells
// are drawn, the vertices of each one's shape in the order of the style, and
// each one's colour. It hands them to a sink and knows nothing of OpenGL. A
// sink offers begin(), room(k) (before the colour and the at most k vertices of
// each cell), colour(const CellRgb&), vertex(x, y) and end(), and says by its
// static constexpr bool kDiamondCorners whether it takes a diamond as its five
// corners (true) or as four triangles.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config/settings.h"
#include "core/automaton.h"
#include "render/cell_colours.h"

namespace orvex {

inline constexpr std::size_t kMostVerticesPerCell = 12;  // a diamond; lines take at most 8
// A diamond given as corners: centre, right, up, left, down.
inline constexpr std::size_t kDiamondCorners = 5;

inline std::size_t vertices_per_cell(int style) {
    switch (style) {
        case kStylePoints: return 1;
        case kStyleLines: return 8;
        case kStyleQuads: return 4;
        default: return kMostVerticesPerCell;
    }
}

namespace cell_shapes {

template <typename Sink>
void point(Sink& s, float x, float y, float) {
    s.vertex(x, y);
}

// A diamond of half-diagonal h, as four triangles around the centre.
template <typename Sink>
void diamond(Sink& s, float x, float y, float h) {
    s.vertex(x, y), s.vertex(x + h, y), s.vertex(x, y + h);
    s.vertex(x, y), s.vertex(x + h, y), s.vertex(x, y - h);
    s.vertex(x, y), s.vertex(x - h, y), s.vertex(x, y - h);
    s.vertex(x, y), s.vertex(x - h, y), s.vertex(x, y + h);
}

template <typename Sink>
void diamond_corners(Sink& s, float x, float y, float h) {
    s.vertex(x, y), s.vertex(x + h, y), s.vertex(x, y + h), s.vertex(x - h, y), s.vertex(x, y - h);
}

template <typename Sink>
void square(Sink& s, float x, float y, float h) {
    s.vertex(x - h, y - h), s.vertex(x + h, y - h);
    s.vertex(x + h, y + h), s.vertex(x - h, y + h);
}

}  // namespace cell_shapes

// Walks the field in the order of the style and asks colours(j, value) for
// each drawn cell; colours.set_row(i) runs before each visited row.
template <typename Sink, typename Colours>
void walk_cells(const Automaton& field, int style, Sink& sink, Colours& colours) {
    const int n = field.field_size();
    const float nf = static_cast<float>(n);
    const float h = 0.5f / nf;
    const float pitch = 1.0f / nf;
    const std::size_t per_cell =
        Sink::kDiamondCorners && style == kStyleTriangles ? kDiamondCorners : vertices_per_cell(style);

    sink.begin();
    if (style == kStyleLines) {
        // Each touching pair is joined once, from the cell that looks right or up
        // at it; row 0, the last row and the last column start no segment.
        for (int i = 1; i <= n - 2; ++i) {
            colours.set_row(i);
            const CellRow left = field.row(i - 1);
            const CellRow here = field.row(i);
            const CellRow right = field.row(i + 1);
            const float x = static_cast<float>(i) / nf;
            for (int j = 0; j <= n - 2; ++j) {
                if (here[j] == 0) continue;
                const float y = static_cast<float>(j) / nf;
                sink.room(per_cell);
                sink.colour(colours(j, here[j]));
                if (right[j] != 0) sink.vertex(x, y), sink.vertex(x + pitch, y);
                if (right[j + 1] != 0) sink.vertex(x, y), sink.vertex(x + pitch, y + pitch);
                if (here[j + 1] != 0) sink.vertex(x, y), sink.vertex(x, y + pitch);
                if (left[j + 1] != 0) sink.vertex(x, y), sink.vertex(x - pitch, y + pitch);
            }
        }
    } else {
        using namespace cell_shapes;
        void (*shape)(Sink&, float, float, float) = style == kStylePoints   ? point<Sink>
                                                    : style == kStyleQuads  ? square<Sink>
                                                    : Sink::kDiamondCorners ? diamond_corners<Sink>
                                                                            : diamond<Sink>;
        for (int i = 0; i < n; ++i) {
            colours.set_row(i);
            const CellRow here = field.row(i);
            const float x = static_cast<float>(i) / nf;
            for (int j = 0; j < n; ++j) {
                if (here[j] == 0) continue;
                sink.room(per_cell);
                sink.colour(colours(j, here[j]));
                shape(sink, x, static_cast<float>(j) / nf, h);
            }
        }
    }
    sink.end();
}

// Colour of a Life cell: the ramps, or white under a picture.
struct LifeColours {
    CellColours ramps;
    bool textured;

    void set_row(int i) { ramps.set_row(i); }
    CellRgb operator()(int j, int32_t) const { return textured ? CellRgb{1.0f, 1.0f, 1.0f} : ramps.life(j); }
};

// Colour of a Generations cell: the ramps shaded by its age, or the age shade alone under a picture.
struct GenerationsColours {
    CellColours ramps;
    bool textured;
    int states;
    bool quads;

    void set_row(int i) { ramps.set_row(i); }
    CellRgb operator()(int j, int32_t s) const {
        const float g = age_shade(states, s);
        return textured ? CellRgb{g, g, g} : ramps.generations(j, g, quads);
    }
};

}  // namespace orvex
