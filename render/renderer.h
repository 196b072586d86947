// What a saver session asks of the drawing, whichever OpenGL does it: set up
// the scene, follow the window's size, draw a frame of the field with the
// lights where they are, take a picture to lay over the cells, write a line of
// text over the frame, and let go of the GL's objects. Two implementations:
// the fixed-function OpenGL 1.1 scene (render/gl11/gl11_renderer.h), which the
// Windows and Linux savers draw with, and the OpenGL ES 3.0 / WebGL 2 one
// (render/gles3/), for places without fixed-function OpenGL. Both take the
// cells from the same walk (render/cell_walk.h), the colours from
// render/cell_colours.h and the light motion from render/moving_lights.h.
// Every call wants the renderer's context current.
#pragma once

#include "core/automaton.h"
#include "picture/bmp_reader.h"
#include "render/moving_lights.h"

namespace orvex {

class FrameRenderer {
public:
    virtual ~FrameRenderer() = default;

    // Once, with the context current. False when the GL can't draw the scene
    // (the reason has gone to the renderer's message sink); every later call
    // then does nothing.
    virtual bool setup() = 0;
    // A height of 0 counts as 1.
    virtual void resize(int width, int height) = 0;
    // Clears, moves the lights on by one frame and draws every live cell.
    virtual void draw_frame(const Automaton& field) = 0;
    // The reduced picture to lay over the field from the next frame on.
    // False when the GL refused it; the field is then drawn without one.
    virtual bool load_picture(const RgbImage& image) = 0;
    // The largest texture side the GL takes.
    virtual int max_texture_size() const = 0;
    // One line of text in the top-left corner, over the frame just drawn.
    virtual void draw_text(int width, int height, int line_height, const char* text) = 0;
    // Frees what the renderer holds in the GL; safe to call twice.
    virtual void release() = 0;

    virtual const MovingLights& lights() const = 0;
};

}  // namespace orvex
