// Drawing of the cell field, once per frame, inside the frame's model
// transform: every cell that is not empty becomes a point, a diamond of four
// triangles, lines to its live neighbours or a square, in model coordinates
// x = i / N, y = j / N, z = -4 (N the field side). With a picture on, every
// vertex carries the same numbers as texture coordinates, so the picture spans
// the field once.
//
// Three ways to hand the vertices to OpenGL, all giving the same pixels:
// - Retained (the default): the geometry is built once per change of the field
//   (Automaton::version) and drawn again from there on every frame until the
//   next change; lights, picture and transform need no rebuild. It lives in a
//   buffer object where the GL offers them (1.5 or ARB_vertex_buffer_object,
//   found through the loader given to use_buffer_objects), else in client
//   arrays kept by the drawer. Per cell it is smaller than the other ways:
//   positions without z (the drawer moves the plane instead), colours as bytes
//   when unlit, and diamonds as five corners shared by four indexed triangles.
//   Its draws are cut so that the shapes that may reach past the edges of the
//   view come in draws of their own, which alone the GL then has to clip.
// - Arrays: client-side vertex arrays filled anew every frame into a batch
//   buffer and drawn with glDrawArrays whenever it is full (OpenGL 1.1).
// - Immediate: one glBegin/glEnd pair per frame with a call per vertex, kept
//   as the reference the others are checked against.
// The walk over the field that all three share is in cell_walk.h, the three
// emitters in cell_emitters.*, the kept geometry's buffers in cell_buffers.*.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "config/settings.h"
#include "core/automaton.h"
#include "render/gl11/cell_buffers.h"

namespace orvex {

struct CellDrawing {
    int DrawStyle = kStyleTriangles;  // 1025 points, 1026 triangles, 1027 lines, 1028 quads
    int MainColor = kColorBlue;       // 1020 red, 1021 green, 1022 blue
    int LightingNum = 0;              // not 0: colours go to the material, pictures are modulated
    int one_color_flag = 1;           // 0: main colour only
    bool textured = false;            // a picture is on and loaded into texture
    unsigned texture = 0;
};

enum class DrawMode { Immediate, Arrays, Retained };

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

    // With a context current: look up the buffer-object entry points through
    // loader (null: none), so retained geometry lives in the GL's memory.
    // False when the GL offers no buffer objects; client arrays are used then,
    // and also from the first upload on which the GL fails to store the data.
    bool use_buffer_objects(GlProcLoader loader);
    bool has_buffer_objects() const;
    // Frees the buffer objects and the kept geometry; call with the context still current.
    void release();

    // Bytes of vertex and index data the last frame handed to OpenGL: what it
    // copied into buffer objects, the client arrays its draws read, or the
    // numbers its glBegin/glEnd calls passed.
    std::size_t bytes_last_frame() const { return bytes_last_frame_; }
    // Draw calls the kept geometry took in the last frame; 0 the other ways.
    std::size_t kept_draws_last_frame() const { return kept_draws_last_frame_; }

    // Life family: every non-empty cell alike.
    void RenderLife(const Automaton& field, const CellDrawing& d);
    // Generations families: cells shaded by their age.
    void RenderGenerations(const Automaton& field, const CellDrawing& d);

    // Interleaved array element: position (also the texture coordinates) and colour.
    struct Vertex {
        float x, y, z;
        float r, g, b;
    };

    CellDrawer(const CellDrawer&) = delete;
    CellDrawer& operator=(const CellDrawer&) = delete;
    ~CellDrawer();

private:
    // What the kept geometry was built from; any difference means a rebuild.
    struct Key {
        std::uint64_t version = 0;
        int family = -1, style = 0, main_color = 0, one_color_flag = 0, states = 0;
        bool textured = false, lit = false;
        bool operator==(const Key& o) const {
            return version == o.version && family == o.family && style == o.style && main_color == o.main_color &&
                   one_color_flag == o.one_color_flag && states == o.states && textured == o.textured && lit == o.lit;
        }
    };

    template <typename Colours>
    void draw(const Automaton& field, const CellDrawing& d, int family, Colours colours);

    DrawMode mode_ = DrawMode::Retained;
    std::size_t capacity_;
    std::vector<Vertex> batch_;
    std::size_t bytes_last_frame_ = 0;
    std::size_t kept_draws_last_frame_ = 0;

    // Retained geometry and what it was built from.
    Key key_;
    bool kept_ = false;
    CellBuffers buffers_;
};

}  // namespace orvex
