#include "render/cell_drawing.h"

#include <algorithm>

#include "config/settings.h"
#include "render/cell_colours.h"
#include "render/gl.h"

namespace orvex {

namespace {

constexpr float kCellPlaneZ = -4.0f;
constexpr std::size_t kMostVerticesPerCell = 12;  // a diamond; lines take at most 8

GLenum primitive(int style) {
    switch (style) {
        case kStylePoints: return GL_POINTS;
        case kStyleLines: return GL_LINES;
        case kStyleQuads: return GL_QUADS;
        default: return GL_TRIANGLES;
    }
}

std::size_t vertices_per_cell(int style) {
    switch (style) {
        case kStylePoints: return 1;
        case kStyleLines: return 8;
        case kStyleQuads: return 4;
        default: return kMostVerticesPerCell;
    }
}

// One glBegin/glEnd pair; a colour or material call per cell and a call (two
// with a picture) per vertex.
class ImmediateSink {
public:
    ImmediateSink(GLenum mode, bool textured, bool lit) : mode_(mode), textured_(textured), lit_(lit) {}

    void begin() { glBegin(mode_); }
    void room(std::size_t) {}

    void colour(const CellRgb& c) {
        const GLfloat rgba[4] = {c.r, c.g, c.b, 1.0f};
        if (lit_)
            glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, rgba);
        else
            glColor3fv(rgba);
    }

    void vertex(float x, float y) {
        if (textured_) glTexCoord3f(x, y, kCellPlaneZ);
        glVertex3f(x, y, kCellPlaneZ);
    }

    void end() { glEnd(); }

private:
    GLenum mode_;
    bool textured_;
    bool lit_;
};

// Fills the batch buffer and draws it with glDrawArrays when the next cell
// might not fit, so no primitive is split between two draws. The texture
// coordinates are the positions themselves. Lit, the colour array feeds the
// front material's ambient and diffuse reflectance through GL_COLOR_MATERIAL,
// which the scene keeps off otherwise.
class ArraySink {
public:
    using Vertex = CellDrawer::Vertex;

    ArraySink(GLenum mode, bool textured, bool lit, Vertex* buffer, std::size_t capacity)
        : mode_(mode), textured_(textured), lit_(lit), first_(buffer), next_(buffer), end_(buffer + capacity) {}

    void begin() {
        glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &first_->x);
        glColorPointer(3, GL_FLOAT, sizeof(Vertex), &first_->r);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        if (textured_) {
            glTexCoordPointer(3, GL_FLOAT, sizeof(Vertex), &first_->x);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        if (lit_) {
            glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
            glEnable(GL_COLOR_MATERIAL);
        }
    }

    void room(std::size_t vertices) {
        if (static_cast<std::size_t>(end_ - next_) < vertices) flush();
    }

    void colour(const CellRgb& c) { colour_ = c; }

    void vertex(float x, float y) { *next_++ = Vertex{x, y, kCellPlaneZ, colour_.r, colour_.g, colour_.b}; }

    void end() {
        flush();
        if (lit_) glDisable(GL_COLOR_MATERIAL);
        if (textured_) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }

private:
    void flush() {
        if (next_ != first_) glDrawArrays(mode_, 0, static_cast<GLsizei>(next_ - first_));
        next_ = first_;
    }

    GLenum mode_;
    bool textured_;
    bool lit_;
    CellRgb colour_{0.0f, 0.0f, 0.0f};
    Vertex* first_;
    Vertex* next_;
    Vertex* end_;
};

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
void square(Sink& s, float x, float y, float h) {
    s.vertex(x - h, y - h), s.vertex(x + h, y - h);
    s.vertex(x + h, y + h), s.vertex(x - h, y + h);
}

// Walks the field in the order of the style and asks colours(j, value) for
// each drawn cell; colours.set_row(i) runs before each visited row.
template <typename Sink, typename Colours>
void walk(const Automaton& field, int style, Sink& sink, Colours& colours) {
    const int n = field.field_size();
    const float nf = static_cast<float>(n);
    const float h = 0.5f / nf;
    const float pitch = 1.0f / nf;
    const std::size_t per_cell = vertices_per_cell(style);

    sink.begin();
    if (style == kStyleLines) {
        // Each touching pair is joined once, from the cell that looks right or up
        // at it; row 0, the last row and the last column start no segment.
        for (int i = 1; i <= n - 2; ++i) {
            colours.set_row(i);
            const int32_t* left = field.row(i - 1);
            const int32_t* here = field.row(i);
            const int32_t* right = field.row(i + 1);
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
        void (*shape)(Sink&, float, float, float) =
            style == kStylePoints ? point<Sink> : style == kStyleQuads ? square<Sink> : diamond<Sink>;
        for (int i = 0; i < n; ++i) {
            colours.set_row(i);
            const int32_t* here = field.row(i);
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

struct LifeColours {
    CellColours ramps;
    bool textured;

    void set_row(int i) { ramps.set_row(i); }
    CellRgb operator()(int j, int32_t) const { return textured ? CellRgb{1.0f, 1.0f, 1.0f} : ramps.life(j); }
};

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

// Lit squares drawn from arrays came out up to a few shades apart from
// glBegin/glEnd on some pixels with some fields (the GL cuts GL_QUADS into
// triangles its own way, and lit colours differ from corner to corner), so they
// stay in immediate mode; every other combination draws alike.
bool arrays_draw_alike(const CellDrawing& d) { return !(d.DrawStyle == kStyleQuads && d.LightingNum != 0); }

}  // namespace

CellDrawer::CellDrawer(std::size_t batch_vertices) { set_batch_vertices(batch_vertices); }

void CellDrawer::set_batch_vertices(std::size_t vertices) {
    capacity_ = std::max(vertices, kMostVerticesPerCell);
    batch_.clear();
    batch_.shrink_to_fit();
}

template <typename Colours>
void CellDrawer::draw(const Automaton& field, const CellDrawing& d, Colours colours) {
    const bool lit = d.LightingNum != 0;
    const GLenum mode = primitive(d.DrawStyle);
    if (d.textured) {
        glBindTexture(GL_TEXTURE_2D, d.texture);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, lit ? GL_MODULATE : GL_DECAL);
    }
    if (mode_ == DrawMode::Arrays && arrays_draw_alike(d)) {
        if (batch_.size() != capacity_) batch_.resize(capacity_);
        ArraySink sink(mode, d.textured, lit, batch_.data(), batch_.size());
        walk(field, d.DrawStyle, sink, colours);
    } else {
        ImmediateSink sink(mode, d.textured, lit);
        walk(field, d.DrawStyle, sink, colours);
    }
    if (d.textured) glDisable(GL_TEXTURE_2D);
}

void CellDrawer::RenderLife(const Automaton& field, const CellDrawing& d) {
    draw(field, d, LifeColours{CellColours(field.field_size(), d.MainColor, d.one_color_flag), d.textured});
}

void CellDrawer::RenderGenerations(const Automaton& field, const CellDrawing& d) {
    draw(field, d,
         GenerationsColours{CellColours(field.field_size(), d.MainColor, d.one_color_flag), d.textured,
                            field.states(), d.DrawStyle == kStyleQuads});
}

}  // namespace orvex
