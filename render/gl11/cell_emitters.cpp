#include "render/gl11/cell_emitters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "config/settings.h"
#include "render/gl11/gl.h"

namespace orvex {

namespace {

// The byte OpenGL itself stores for a colour component in an 8-bit frame buffer.
std::uint8_t colour_byte(float c) { return static_cast<std::uint8_t>(std::lrintf(std::clamp(c, 0.0f, 1.0f) * 255.0f)); }

// One glBegin/glEnd pair; a colour or material call per cell and a call (two
// with a picture) per vertex. The numbers those calls pass count as handed over.
class ImmediateSink {
public:
    static constexpr bool kDiamondCorners = false;

    ImmediateSink(GLenum mode, bool textured, bool lit, std::size_t* bytes)
        : mode_(mode), textured_(textured), lit_(lit), bytes_(bytes) {}

    void begin() { glBegin(mode_); }
    void room(std::size_t) {}

    void colour(const CellRgb& c) {
        const GLfloat rgba[4] = {c.r, c.g, c.b, 1.0f};
        if (lit_)
            glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, rgba);
        else
            glColor3fv(rgba);
        *bytes_ += (lit_ ? 4 : 3) * sizeof(GLfloat);
    }

    void vertex(float x, float y) {
        if (textured_) glTexCoord3f(x, y, kCellPlaneZ);
        glVertex3f(x, y, kCellPlaneZ);
        *bytes_ += (textured_ ? 6 : 3) * sizeof(GLfloat);
    }

    void end() { glEnd(); }

private:
    GLenum mode_;
    bool textured_;
    bool lit_;
    std::size_t* bytes_;
};

// Fills the batch buffer and draws it with glDrawArrays when the next cell
// might not fit, so no primitive is split between two draws. The texture
// coordinates are the positions themselves. Lit, the colour array feeds the
// front material's ambient and diffuse reflectance through GL_COLOR_MATERIAL,
// which the scene keeps off otherwise.
class ArraySink {
public:
    using Vertex = CellDrawer::Vertex;
    static constexpr bool kDiamondCorners = false;

    ArraySink(GLenum mode, bool textured, bool lit, Vertex* buffer, std::size_t capacity, std::size_t* bytes)
        : mode_(mode),
          textured_(textured),
          lit_(lit),
          first_(buffer),
          next_(buffer),
          end_(buffer + capacity),
          bytes_(bytes) {}

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
        *bytes_ += static_cast<std::size_t>(next_ - first_) * sizeof(Vertex);
        next_ = first_;
    }

    GLenum mode_;
    bool textured_;
    bool lit_;
    CellRgb colour_{0.0f, 0.0f, 0.0f};
    Vertex* first_;
    Vertex* next_;
    Vertex* end_;
    std::size_t* bytes_;
};

// Appends retained vertices of layout V to a byte buffer that keeps its size
// from build to build; diamonds come as their five corners.
template <typename V>
class RetainedSink {
public:
    static constexpr bool kDiamondCorners = true;

    explicit RetainedSink(std::vector<unsigned char>& out) : out_(out) {}

    void begin() {}
    void room(std::size_t vertices) {
        if ((count_ + vertices) * sizeof(V) > out_.size())
            out_.resize(std::max(out_.size() * 2, (count_ + vertices) * sizeof(V)));
    }
    void colour(const CellRgb& c) {
        if constexpr (std::is_same_v<V, LitVertex>)
            colour_ = V{0.0f, 0.0f, c.r, c.g, c.b};
        else
            colour_ = V{0.0f, 0.0f, colour_byte(c.r), colour_byte(c.g), colour_byte(c.b), 255};
    }
    void vertex(float x, float y) {
        V v = colour_;
        v.x = x, v.y = y;
        std::memcpy(out_.data() + count_++ * sizeof(V), &v, sizeof v);
    }
    void end() {}

    std::size_t count() const { return count_; }

private:
    std::vector<unsigned char>& out_;
    std::size_t count_ = 0;
    V colour_{};
};

template <typename V, typename Colours>
std::size_t walk_into(const Automaton& field, int style, Colours& colours, std::vector<unsigned char>& out) {
    RetainedSink<V> sink(out);
    walk_cells(field, style, sink, colours);
    return sink.count();
}

}  // namespace

unsigned cell_primitive(int style) {
    switch (style) {
        case kStylePoints: return GL_POINTS;
        case kStyleLines: return GL_LINES;
        case kStyleQuads: return GL_QUADS;
        default: return GL_TRIANGLES;
    }
}

template <typename Colours>
void CellEmitters<Colours>::immediate(const Automaton& field, const CellDrawing& d, Colours colours,
                                      std::size_t& bytes) {
    ImmediateSink sink(cell_primitive(d.DrawStyle), d.textured, d.LightingNum != 0, &bytes);
    walk_cells(field, d.DrawStyle, sink, colours);
}

template <typename Colours>
void CellEmitters<Colours>::arrays(const Automaton& field, const CellDrawing& d, Colours colours,
                                   CellDrawer::Vertex* batch, std::size_t capacity, std::size_t& bytes) {
    ArraySink sink(cell_primitive(d.DrawStyle), d.textured, d.LightingNum != 0, batch, capacity, &bytes);
    walk_cells(field, d.DrawStyle, sink, colours);
}

template <typename Colours>
std::size_t CellEmitters<Colours>::kept(const Automaton& field, const CellDrawing& d, Colours colours,
                                        std::vector<unsigned char>& out) {
    if (d.LightingNum != 0) return walk_into<LitVertex>(field, d.DrawStyle, colours, out);
    return walk_into<PlainVertex>(field, d.DrawStyle, colours, out);
}

template struct CellEmitters<LifeColours>;
template struct CellEmitters<GenerationsColours>;

}  // namespace orvex
