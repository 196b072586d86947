// The page's WebGL 2 context, made by the module on the page's canvas, and the
// OpenGL ES 3.0 entry points the renderer looks up, linked directly from
// emscripten's WebGL bindings (there is no other GL library to tell apart).
#pragma once

namespace orvex::web {

// Makes (or takes again, after a restore) the WebGL 2 context of the canvas
// with the CSS selector `canvas` and makes it current; false without one.
bool make_page_context(const char* canvas);

// The entry point named name ("glClear"), or null.
void* page_gl_proc(const char* name);

}  // namespace orvex::web
