#include "render/gl11/cell_drawing.h"

#include <algorithm>
#include <cstddef>

#include "config/settings.h"
#include "render/cell_colours.h"
#include "render/cell_walk.h"
#include "render/gl11/cell_emitters.h"
#include "render/gl11/gl.h"

namespace orvex {

namespace {

// Lit squares drawn from client arrays in batches came out up to a few shades
// apart from glBegin/glEnd on some pixels with some fields (the GL cuts
// GL_QUADS into triangles its own way, and lit colours differ from corner to
// corner), so that way draws them in immediate mode; kept in buffer objects
// they are drawn in long draws as glBegin/glEnd draws them, and only a redraw
// after a step hands them over again.
bool arrays_draw_alike(const CellDrawing& d) { return !(d.DrawStyle == kStyleQuads && d.LightingNum != 0); }

}  // namespace

CellDrawer::CellDrawer(std::size_t batch_vertices) { set_batch_vertices(batch_vertices); }

CellDrawer::~CellDrawer() = default;

bool CellDrawer::use_buffer_objects(GlProcLoader loader) {
    kept_ = false;
    return buffers_.use_buffer_objects(loader);
}

bool CellDrawer::has_buffer_objects() const { return buffers_.has_buffer_objects(); }

void CellDrawer::release() {
    buffers_.release();
    kept_ = false;
}

void CellDrawer::set_batch_vertices(std::size_t vertices) {
    capacity_ = std::max(vertices, kMostVerticesPerCell);
    batch_.clear();
    batch_.shrink_to_fit();
}

template <typename Colours>
void CellDrawer::draw(const Automaton& field, const CellDrawing& d, int family, Colours colours) {
    bytes_last_frame_ = 0;
    kept_draws_last_frame_ = 0;
    const bool lit = d.LightingNum != 0;
    if (d.textured) {
        glBindTexture(GL_TEXTURE_2D, d.texture);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, lit ? GL_MODULATE : GL_DECAL);
    }
    if (mode_ == DrawMode::Retained) {
        const Key key{field.version(),  family,         d.DrawStyle, d.MainColor,
                      d.one_color_flag, field.states(), d.textured,  lit};
        if (!kept_ || !(key == key_)) {
            const std::size_t vertices = CellEmitters<Colours>::kept(field, d, colours, buffers_.geometry());
            buffers_.store(vertices, lit, bytes_last_frame_);
            key_ = key;
            kept_ = true;
        }
        kept_draws_last_frame_ = buffers_.draw(d.DrawStyle, lit, d.textured, bytes_last_frame_);
    } else if (mode_ == DrawMode::Arrays && arrays_draw_alike(d)) {
        if (batch_.size() != capacity_) batch_.resize(capacity_);
        CellEmitters<Colours>::arrays(field, d, colours, batch_.data(), batch_.size(), bytes_last_frame_);
    } else {
        CellEmitters<Colours>::immediate(field, d, colours, bytes_last_frame_);
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
