#include "host/web/page_gl.h"

#include <GLES3/gl3.h>
#include <emscripten/html5_webgl.h>

#include <cstring>

// The renderer's list of entry points; its header asks for no prototypes,
// which gl3.h above has already declared for this file.
#undef GL_GLES_PROTOTYPES
#include "render/gles3/gles3_api.h"

namespace orvex::web {

namespace {

struct Entry {
    const char* name;
    void* address;
};

#define ORVEX_PAGE_GL_ENTRY(name, type) {"gl" #name, reinterpret_cast<void*>(&gl##name)},
const Entry kEntries[] = {ORVEX_GLES3_FUNCTIONS(ORVEX_PAGE_GL_ENTRY)};
#undef ORVEX_PAGE_GL_ENTRY

}  // namespace

bool make_page_context(const char* canvas) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.preserveDrawingBuffer = EM_TRUE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(canvas, &attributes);
    return context > 0 && emscripten_webgl_make_context_current(context) == EMSCRIPTEN_RESULT_SUCCESS;
}

void* page_gl_proc(const char* name) {
    for (const Entry& e : kEntries)
        if (std::strcmp(e.name, name) == 0) return e.address;
    return nullptr;
}

}  // namespace orvex::web
