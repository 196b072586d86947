#include "render/gl11/cell_buffers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>

#include "config/settings.h"
#include "render/gl11/cell_emitters.h"
#include "render/gl11/gl.h"

namespace orvex {

namespace {

// Buffer objects (OpenGL 1.5), named here so the OpenGL 1.1 headers suffice.
constexpr GLenum kArrayBuffer = 0x8892;
constexpr GLenum kElementArrayBuffer = 0x8893;
constexpr GLenum kStaticDraw = 0x88E4;

// Kept diamonds: four triangles over the five corners, in the order and winding
// of the immediate-mode diamond.
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

// Shapes wholly inside the view in a run shorter than this share the draw of
// the shapes around them that may need clipping, rather than get one of their own.
constexpr std::size_t kShortestUnclippedRun = 16;

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

}  // namespace

#ifndef APIENTRY
#define APIENTRY
#endif

struct CellBuffers::BufferFunctions {
    void(APIENTRY* GenBuffers)(GLsizei, GLuint*);
    void(APIENTRY* DeleteBuffers)(GLsizei, const GLuint*);
    void(APIENTRY* BindBuffer)(GLenum, GLuint);
    void(APIENTRY* BufferData)(GLenum, std::ptrdiff_t, const void*, GLenum);
    void(APIENTRY* BufferSubData)(GLenum, std::ptrdiff_t, std::ptrdiff_t, const void*);
};

CellBuffers::CellBuffers() = default;

CellBuffers::~CellBuffers() = default;

bool CellBuffers::use_buffer_objects(GlProcLoader loader) {
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

void CellBuffers::delete_buffers() {
    const GLuint names[2] = {vertex_buffer_, index_buffer_};
    if (gl_ && (vertex_buffer_ || index_buffer_)) gl_->DeleteBuffers(2, names);
    vertex_buffer_ = index_buffer_ = 0;
    vertex_buffer_bytes_ = index_buffer_bytes_ = 0;
}

void CellBuffers::release() {
    delete_buffers();
    geometry_.clear();
    geometry_.shrink_to_fit();
    vertex_count_ = 0;
}

void CellBuffers::store(std::size_t vertices, bool lit, std::size_t& bytes) {
    vertex_count_ = vertices;
    stride_ = lit ? sizeof(LitVertex) : sizeof(PlainVertex);
    ++builds_;
    if (gl_ &&
        !upload(kArrayBuffer, vertex_buffer_, vertex_buffer_bytes_, geometry_.data(), vertex_count_ * stride_, bytes))
        drop_buffer_objects();
}

// The GL could not give the buffers storage (out of memory, or it refused):
// drawing from them would show nothing or worse, so the kept geometry is drawn
// from client arrays from now on.
void CellBuffers::drop_buffer_objects() {
    delete_buffers();
    gl_.reset();
}

// Into the buffer object `name` (made on first use), growing it when the data
// no longer fits; the size bytes count as handed over this frame. The buffer
// keeps a quarter spare, so that no upload covers all of it: Mesa answers a
// write over a whole buffer that the last frame drew from with new, zeroed
// storage of that size, every time.
// False when the GL reports an error on the way (the storage was not granted).
bool CellBuffers::upload(unsigned target, unsigned& name, std::size_t& capacity, const void* data, std::size_t size,
                         std::size_t& bytes) {
    if (size == 0) return true;
    // Errors left by earlier calls are not this upload's; a context keeps a
    // handful of error flags at most.
    for (int k = 0; k < 8 && glGetError() != GL_NO_ERROR; ++k) {
    }
    if (name == 0) gl_->GenBuffers(1, &name);
    gl_->BindBuffer(target, name);
    if (size >= capacity) {
        capacity = size + size / 4;
        gl_->BufferData(target, static_cast<std::ptrdiff_t>(capacity), nullptr, kStaticDraw);
    }
    gl_->BufferSubData(target, 0, static_cast<std::ptrdiff_t>(size), data);
    gl_->BindBuffer(target, 0);
    if (glGetError() != GL_NO_ERROR) {
        for (int k = 0; k < 8 && glGetError() != GL_NO_ERROR; ++k) {
        }
        return false;
    }
    bytes += size;
    return true;
}

const void* CellBuffers::kept_at(std::size_t offset) const {
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
void CellBuffers::plan_draws(std::size_t per_shape, std::size_t most_shapes, bool by_view) {
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
std::size_t CellBuffers::draw(int style, bool lit, bool textured, std::size_t& bytes) {
    if (vertex_count_ == 0) return 0;
    const bool diamonds = style == kStyleTriangles;
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
                diamond_indices_.size() * sizeof(std::uint16_t), bytes))
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
        if (textured) glTexCoordPointer(2, GL_FLOAT, stride, kept_at(at));
    };
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (textured) glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    if (lit) {
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
    }
    if (diamonds) {
        if (gl_) gl_->BindBuffer(kElementArrayBuffer, index_buffer_);
        const bool flat = !lit && !textured;
        const std::size_t per_cell = flat ? kFlatDiamondIndices : kDiamondIndices;
        const std::size_t at = (flat ? kChunkCells * kDiamondIndices : 0) * sizeof(std::uint16_t);
        const void* indices =
            gl_ ? reinterpret_cast<const void*>(at)
                : static_cast<const void*>(reinterpret_cast<const char*>(diamond_indices_.data()) + at);
        plan_draws(kDiamondCorners, kChunkCells, true);
        for (const DrawRun& run : runs_) {
            point_at(run.first * kDiamondCorners);
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(run.count * per_cell), GL_UNSIGNED_SHORT, indices);
            if (!gl_) bytes += run.count * (kDiamondCorners * stride_ + per_cell * sizeof(std::uint16_t));
        }
        if (gl_) gl_->BindBuffer(kElementArrayBuffer, 0);
    } else {
        const std::size_t per_shape = vertices_per_shape(style);
        // The GL cuts a square into triangles along one diagonal in a draw it
        // clips and along the other in one it does not, which moves texels and
        // lit shades here and there; squares with a picture or lights therefore
        // keep long draws, which it clips as it clips those of glBegin/glEnd.
        plan_draws(per_shape, kChunkVertices / per_shape, !(style == kStyleQuads && (textured || lit)));
        for (const DrawRun& run : runs_) {
            point_at(run.first * per_shape);
            glDrawArrays(cell_primitive(style), 0, static_cast<GLsizei>(run.count * per_shape));
        }
        if (!gl_) bytes += vertex_count_ * stride_;
    }
    if (lit) glDisable(GL_COLOR_MATERIAL);
    if (textured) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    if (gl_) gl_->BindBuffer(kArrayBuffer, 0);
    glPopMatrix();
    return runs_.size();
}

}  // namespace orvex
