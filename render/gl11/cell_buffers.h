// The kept cell geometry: built by the emitter once per change of the field and
// drawn again from here on every frame. It lives in a buffer object where the GL
// offers them (1.5 or ARB_vertex_buffer_object, found through a loader), else in
// the client array held here. Diamonds are drawn as indexed triangles over their
// five corners, and the draws are cut so that the shapes that may reach past the
// edges of the view come in draws of their own, which alone the GL then has to
// clip. Every call but the constructor wants the drawing context current.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace orvex {

// Looks up an OpenGL entry point of the current context by name
// (OSMesaGetProcAddress, wglGetProcAddress); null when there is none.
using GlProcLoader = void* (*)(const char* name);

class CellBuffers {
public:
    CellBuffers();
    CellBuffers(const CellBuffers&) = delete;
    CellBuffers& operator=(const CellBuffers&) = delete;
    ~CellBuffers();

    // Looks up the buffer-object entry points through loader (null: none).
    // False when the GL offers no buffer objects; the client array is used then,
    // and also from the first upload on which the GL fails to store the data.
    bool use_buffer_objects(GlProcLoader loader);
    bool has_buffer_objects() const { return gl_ != nullptr; }
    // Frees the buffer objects and the kept geometry.
    void release();

    // The bytes the emitter builds the geometry into; their size is kept from build to build.
    std::vector<unsigned char>& geometry() { return geometry_; }
    // Takes the `vertices` just built into geometry(), of the lit or the unlit
    // layout, as the kept geometry; the bytes uploaded are added to `bytes`.
    void store(std::size_t vertices, bool lit, std::size_t& bytes);
    // Draws the kept geometry in the given style on the cell plane, adding the
    // bytes handed over to `bytes`; returns the number of draw calls.
    std::size_t draw(int style, bool lit, bool textured, std::size_t& bytes);

private:
    struct BufferFunctions;
    // The kept shapes cut into draws, [first shape, shapes).
    struct DrawRun {
        std::size_t first, count;
    };

    const void* kept_at(std::size_t offset) const;
    void plan_draws(std::size_t per_shape, std::size_t most_shapes, bool by_view);
    bool upload(unsigned target, unsigned& name, std::size_t& capacity, const void* data, std::size_t size,
                std::size_t& bytes);
    void delete_buffers();
    void drop_buffer_objects();

    std::vector<unsigned char> geometry_;
    std::size_t vertex_count_ = 0;
    std::size_t stride_ = 0;
    std::uint64_t builds_ = 0;
    // The draws, for the transform and build they were planned for.
    std::vector<DrawRun> runs_;
    std::vector<std::uint8_t> unclipped_;
    float planned_for_[32] = {};
    std::uint64_t planned_build_ = 0;
    bool planned_by_view_ = false;
    std::vector<std::uint16_t> diamond_indices_;  // one chunk's worth, the same for every chunk
    std::unique_ptr<BufferFunctions> gl_;         // null: client arrays
    unsigned vertex_buffer_ = 0, index_buffer_ = 0;
    std::size_t vertex_buffer_bytes_ = 0, index_buffer_bytes_ = 0;
};

}  // namespace orvex
