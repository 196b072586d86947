#include "render/cell_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>

#include "config/settings.h"
#include "render/cell_colours.h"
#include "render/gl.h"

namespace orvex {

namespace {

constexpr float kCellPlaneZ = -4.0f;
constexpr std::size_t kMostVerticesPerCell = 12;  // a diamond; lines take at most 8

// Buffer objects (OpenGL 1.5), named here so the OpenGL 1.1 headers suffice.
constexpr GLenum kArrayBuffer = 0x8892;
constexpr GLenum kElementArrayBuffer = 0x8893;
constexpr GLenum kStaticDraw = 0x88E4;

// Retained diamonds: five corners (centre, right, up, left, down) and four
// triangles over them, in the order and winding of the immediate-mode diamond.
constexpr std::size_t kDiamondCorners = 5;
constexpr std::size_t kDiamondIndices = 12;
constexpr std::uint16_t kDiamondPattern[kDiamondIndices] = {0, 1, 2, 0, 1, 4, 0, 3, 4, 0, 3, 2};
// A diamond of one colour (unlit, no picture) as two triangles over its outer
// corners: the rasteriser lights the same pixels, as every sample inside lies in
// exactly one triangle of either split and the outer edges are the same, for
// half the triangles and one corner fewer to transform.
constexpr std::size_t kFlatDiamondIndices = 6;
constexpr std::uint16_t kFlatDiamondPattern[kFlatDiamondIndices] = {1, 2, 3, 3, 4, 1};
// Diamonds per indexed draw, so 16-bit indices reach every corner of a chunk.
constexpr std::size_t kChunkCells = 65536 / kDiamondCorners;
// Vertices per draw of the other styles, a whole number of points, segments and
// squares. The GL's working memory for a draw grows with its vertices; draws of
// this size reuse it from frame to frame instead of asking the system anew.
constexpr std::size_t kChunkVertices = 32768;

// Retained vertices: position on the plane, colour as the material (lit) or as bytes.
struct LitVertex {
    float x, y;
    float r, g, b;
};
struct PlainVertex {
    float x, y;
    std::uint8_t r, g, b, a;
};

// The byte OpenGL itself stores for a colour component in an 8-bit frame buffer.
std::uint8_t colour_byte(float c) { return static_cast<std::uint8_t>(std::lrintf(std::clamp(c, 0.0f, 1.0f) * 255.0f)); }

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

// Vertices of one shape in kept geometry: a point, a segment, a square, the
// corners of a diamond.
std::size_t vertices_per_shape(int style) {
    switch (style) {
        case kStylePoints: return 1;
        case kStyleLines: return 2;
        case kStyleQuads: return 4;
        default: return kDiamondCorners;
    }
}

// Shapes wholly inside the view in a run shorter than this share the draw of
// the shapes around them that may need clipping, rather than get one of their own.
constexpr std::size_t kShortestUnclippedRun = 16;

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

// Walks the field in the order of the style and asks colours(j, value) for
// each drawn cell; colours.set_row(i) runs before each visited row.
template <typename Sink, typename Colours>
void walk(const Automaton& field, int style, Sink& sink, Colours& colours) {
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

#ifndef APIENTRY
#define APIENTRY
#endif

struct CellDrawer::BufferFunctions {
    void(APIENTRY* GenBuffers)(GLsizei, GLuint*);
    void(APIENTRY* DeleteBuffers)(GLsizei, const GLuint*);
    void(APIENTRY* BindBuffer)(GLenum, GLuint);
    void(APIENTRY* BufferData)(GLenum, std::ptrdiff_t, const void*, GLenum);
    void(APIENTRY* BufferSubData)(GLenum, std::ptrdiff_t, std::ptrdiff_t, const void*);
};

CellDrawer::CellDrawer(std::size_t batch_vertices) { set_batch_vertices(batch_vertices); }

CellDrawer::~CellDrawer() = default;

bool CellDrawer::use_buffer_objects(GlProcLoader loader) {
    release();
    gl_.reset();
    if (loader == nullptr) return false;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    int major = 0, minor = 0;
    if (version) std::sscanf(version, "%d.%d", &major, &minor);
    const char* suffix = "";
    if (major < 1 || (major == 1 && minor < 5)) {
        if (extensions == nullptr || std::strstr(extensions, "GL_ARB_vertex_buffer_object") == nullptr) return false;
        suffix = "ARB";
    }
    auto find = [&](const char* name, auto& entry) {
        const std::string full = std::string(name) + suffix;
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(loader(full.c_str()));
        return entry != nullptr;
    };
    auto f = std::make_unique<BufferFunctions>();
    if (!find("glGenBuffers", f->GenBuffers) || !find("glDeleteBuffers", f->DeleteBuffers) ||
        !find("glBindBuffer", f->BindBuffer) || !find("glBufferData", f->BufferData) ||
        !find("glBufferSubData", f->BufferSubData))
        return false;
    gl_ = std::move(f);
    return true;
}

bool CellDrawer::has_buffer_objects() const { return gl_ != nullptr; }

void CellDrawer::delete_buffers() {
    const GLuint names[2] = {vertex_buffer_, index_buffer_};
    if (gl_ && (vertex_buffer_ || index_buffer_)) gl_->DeleteBuffers(2, names);
    vertex_buffer_ = index_buffer_ = 0;
    vertex_buffer_bytes_ = index_buffer_bytes_ = 0;
}

void CellDrawer::release() {
    delete_buffers();
    kept_ = false;
    geometry_.clear();
    geometry_.shrink_to_fit();
    vertex_count_ = 0;
}

void CellDrawer::set_batch_vertices(std::size_t vertices) {
    capacity_ = std::max(vertices, kMostVerticesPerCell);
    batch_.clear();
    batch_.shrink_to_fit();
}

template <typename Colours>
void CellDrawer::build(const Automaton& field, const CellDrawing& d, Colours colours) {
    if (d.LightingNum != 0) {
        RetainedSink<LitVertex> sink(geometry_);
        walk(field, d.DrawStyle, sink, colours);
        vertex_count_ = sink.count();
        stride_ = sizeof(LitVertex);
    } else {
        RetainedSink<PlainVertex> sink(geometry_);
        walk(field, d.DrawStyle, sink, colours);
        vertex_count_ = sink.count();
        stride_ = sizeof(PlainVertex);
    }
    ++builds_;
    if (gl_ && !upload(kArrayBuffer, vertex_buffer_, vertex_buffer_bytes_, geometry_.data(), vertex_count_ * stride_))
        drop_buffer_objects();
}

// The GL could not give the buffers storage (out of memory, or it refused):
// drawing from them would show nothing or worse, so the kept geometry is drawn
// from client arrays from now on.
void CellDrawer::drop_buffer_objects() {
    delete_buffers();
    gl_.reset();
}

// Into the buffer object `name` (made on first use), growing it when the data
// no longer fits; the bytes count as handed over this frame. The buffer keeps a
// quarter spare, so that no upload covers all of it: Mesa answers a write over a
// whole buffer that the last frame drew from with new, zeroed storage of that
// size, every time.
// False when the GL reports an error on the way (the storage was not granted).
bool CellDrawer::upload(unsigned target, unsigned& name, std::size_t& capacity, const void* data, std::size_t bytes) {
    if (bytes == 0) return true;
    // Errors left by earlier calls are not this upload's; a context keeps a
    // handful of error flags at most.
    for (int k = 0; k < 8 && glGetError() != GL_NO_ERROR; ++k) {
    }
    if (name == 0) gl_->GenBuffers(1, &name);
    gl_->BindBuffer(target, name);
    if (bytes >= capacity) {
        capacity = bytes + bytes / 4;
        gl_->BufferData(target, static_cast<std::ptrdiff_t>(capacity), nullptr, kStaticDraw);
    }
    gl_->BufferSubData(target, 0, static_cast<std::ptrdiff_t>(bytes), data);
    gl_->BindBuffer(target, 0);
    if (glGetError() != GL_NO_ERROR) {
        for (int k = 0; k < 8 && glGetError() != GL_NO_ERROR; ++k) {
        }
        return false;
    }
    bytes_last_frame_ += bytes;
    return true;
}

const void* CellDrawer::kept_at(std::size_t offset) const {
    if (gl_) return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(offset));
    return geometry_.data() + offset;
}

// Cuts the kept shapes into runs of at most most_shapes, one draw each, so
// that the shapes that may reach past the edges of the view come in draws of
// their own: the GL sends a whole draw down its slower clipping path as soon as
// one of its vertices lies outside the view, although that path changes nothing
// for the shapes wholly inside. Where the cuts fall changes no pixel, so a
// shape judged wrongly only costs time. Planned anew when the geometry or the
// transform changes. Without by_view the runs are cut by length alone.
void CellDrawer::plan_draws(std::size_t per_shape, std::size_t most_shapes, bool by_view) {
    float m[32];  // model-view, then projection
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glGetFloatv(GL_PROJECTION_MATRIX, m + 16);
    if (planned_build_ == builds_ && planned_by_view_ == by_view && std::equal(m, m + 32, planned_for_)) return;
    std::copy(m, m + 32, planned_for_);
    planned_build_ = builds_;
    planned_by_view_ = by_view;

    // Clip coordinates of a vertex (x, y, 0, 1): row r is c[r][0] x + c[r][1] y + c[r][2].
    double c[4][3];
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 3; ++k) {
            const int column = k == 2 ? 3 : k;
            c[r][k] = 0.0;
            for (int t = 0; t < 4; ++t) c[r][k] += double{m[16 + t * 4 + r]} * double{m[column * 4 + t]};
        }
    constexpr double kMargin = 1.0 - 1e-3;
    auto inside = [&](const unsigned char* v) {
        float x, y;
        std::memcpy(&x, v, sizeof x);
        std::memcpy(&y, v + sizeof x, sizeof y);
        double p[4];
        for (int r = 0; r < 4; ++r) p[r] = c[r][0] * x + c[r][1] * y + c[r][2];
        const double w = p[3] * kMargin;
        return w > 0.0 && std::abs(p[0]) <= w && std::abs(p[1]) <= w && std::abs(p[2]) <= w;
    };

    const std::size_t shapes = vertex_count_ / per_shape;
    unclipped_.assign(shapes, by_view ? 1 : 0);
    for (std::size_t s = 0; s < shapes && by_view; ++s)
        for (std::size_t k = 0; k < per_shape && unclipped_[s]; ++k)
            unclipped_[s] = inside(geometry_.data() + (s * per_shape + k) * stride_);
    for (std::size_t s = 0, e = 0; s < shapes; s = e) {
        for (e = s + 1; e < shapes && unclipped_[e] == unclipped_[s];) ++e;
        if (unclipped_[s] && e - s < kShortestUnclippedRun) std::fill(&unclipped_[s], &unclipped_[0] + e, 0);
    }
    runs_.clear();
    for (std::size_t s = 0, e = 0; s < shapes; s = e) {
        for (e = s + 1; e < shapes && e - s < most_shapes && unclipped_[e] == unclipped_[s];) ++e;
        runs_.push_back({s, e - s});
    }
}

// The kept geometry, drawn on the plane z = -4 (the vertices carry no z).
void CellDrawer::draw_kept(const CellDrawing& d) {
    if (vertex_count_ == 0) return;
    const bool lit = d.LightingNum != 0;
    const bool diamonds = d.DrawStyle == kStyleTriangles;
    // One chunk of four-triangle diamonds, then one of two-triangle ones.
    if (diamonds && diamond_indices_.empty()) {
        diamond_indices_.reserve(kChunkCells * (kDiamondIndices + kFlatDiamondIndices));
        for (std::size_t c = 0; c < kChunkCells; ++c)
            for (std::uint16_t k : kDiamondPattern)
                diamond_indices_.push_back(static_cast<std::uint16_t>(c * kDiamondCorners + k));
        for (std::size_t c = 0; c < kChunkCells; ++c)
            for (std::uint16_t k : kFlatDiamondPattern)
                diamond_indices_.push_back(static_cast<std::uint16_t>(c * kDiamondCorners + k));
    }
    if (diamonds && gl_ && index_buffer_ == 0 &&
        !upload(kElementArrayBuffer, index_buffer_, index_buffer_bytes_, diamond_indices_.data(),
                diamond_indices_.size() * sizeof(std::uint16_t)))
        drop_buffer_objects();

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, kCellPlaneZ);
    if (gl_) gl_->BindBuffer(kArrayBuffer, vertex_buffer_);
    const GLsizei stride = static_cast<GLsizei>(stride_);
    auto point_at = [&](std::size_t first_vertex) {
        const std::size_t at = first_vertex * stride_;
        glVertexPointer(2, GL_FLOAT, stride, kept_at(at));
        if (lit)
            glColorPointer(3, GL_FLOAT, stride, kept_at(at + offsetof(LitVertex, r)));
        else
            glColorPointer(4, GL_UNSIGNED_BYTE, stride, kept_at(at + offsetof(PlainVertex, r)));
        if (d.textured) glTexCoordPointer(2, GL_FLOAT, stride, kept_at(at));
    };
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (d.textured) glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    if (lit) {
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
    }
    if (diamonds) {
        if (gl_) gl_->BindBuffer(kElementArrayBuffer, index_buffer_);
        const bool flat = !lit && !d.textured;
        const std::size_t per_cell = flat ? kFlatDiamondIndices : kDiamondIndices;
        const std::size_t at = (flat ? kChunkCells * kDiamondIndices : 0) * sizeof(std::uint16_t);
        const void* indices =
            gl_ ? reinterpret_cast<const void*>(at)
                : static_cast<const void*>(reinterpret_cast<const char*>(diamond_indices_.data()) + at);
        plan_draws(kDiamondCorners, kChunkCells, true);
        for (const DrawRun& run : runs_) {
            point_at(run.first * kDiamondCorners);
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(run.count * per_cell), GL_UNSIGNED_SHORT, indices);
            if (!gl_) bytes_last_frame_ += run.count * (kDiamondCorners * stride_ + per_cell * sizeof(std::uint16_t));
        }
        if (gl_) gl_->BindBuffer(kElementArrayBuffer, 0);
    } else {
        const std::size_t per_shape = vertices_per_shape(d.DrawStyle);
        // The GL cuts a square into triangles along one diagonal in a draw it
        // clips and along the other in one it does not, which moves texels by a
        // shade here and there; squares with a picture therefore keep long draws,
        // which it clips as it clips those of glBegin/glEnd.
        plan_draws(per_shape, kChunkVertices / per_shape, !(d.DrawStyle == kStyleQuads && d.textured));
        for (const DrawRun& run : runs_) {
            point_at(run.first * per_shape);
            glDrawArrays(primitive(d.DrawStyle), 0, static_cast<GLsizei>(run.count * per_shape));
        }
        if (!gl_) bytes_last_frame_ += vertex_count_ * stride_;
    }
    kept_draws_last_frame_ = runs_.size();
    if (lit) glDisable(GL_COLOR_MATERIAL);
    if (d.textured) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    if (gl_) gl_->BindBuffer(kArrayBuffer, 0);
    glPopMatrix();
}

template <typename Colours>
void CellDrawer::draw(const Automaton& field, const CellDrawing& d, int family, Colours colours) {
    bytes_last_frame_ = 0;
    kept_draws_last_frame_ = 0;
    const bool lit = d.LightingNum != 0;
    const GLenum mode = primitive(d.DrawStyle);
    if (d.textured) {
        glBindTexture(GL_TEXTURE_2D, d.texture);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, lit ? GL_MODULATE : GL_DECAL);
    }
    if (mode_ == DrawMode::Retained && arrays_draw_alike(d)) {
        const Key key{field.version(),  family,         d.DrawStyle, d.MainColor,
                      d.one_color_flag, field.states(), d.textured,  lit};
        if (!kept_ || !(key == key_)) {
            build(field, d, colours);
            key_ = key;
            kept_ = true;
        }
        draw_kept(d);
    } else if (mode_ == DrawMode::Arrays && arrays_draw_alike(d)) {
        if (batch_.size() != capacity_) batch_.resize(capacity_);
        ArraySink sink(mode, d.textured, lit, batch_.data(), batch_.size(), &bytes_last_frame_);
        walk(field, d.DrawStyle, sink, colours);
    } else {
        ImmediateSink sink(mode, d.textured, lit, &bytes_last_frame_);
        walk(field, d.DrawStyle, sink, colours);
    }
    if (d.textured) glDisable(GL_TEXTURE_2D);
}

void CellDrawer::RenderLife(const Automaton& field, const CellDrawing& d) {
    draw(field, d, kFamilyLife,
         LifeColours{CellColours(field.field_size(), d.MainColor, d.one_color_flag), d.textured});
}

void CellDrawer::RenderGenerations(const Automaton& field, const CellDrawing& d) {
    draw(field, d, kFamilyGeneration,
         GenerationsColours{CellColours(field.field_size(), d.MainColor, d.one_color_flag), d.textured, field.states(),
                            d.DrawStyle == kStyleQuads});
}

}  // namespace orvex
