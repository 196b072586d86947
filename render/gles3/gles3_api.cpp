#include "render/gles3/gles3_api.h"

namespace orvex {

bool Gles3Api::load(Gles3ProcLoader loader, std::string* missing) {
    if (loader == nullptr) {
        if (missing) *missing = "(no loader)";
        return false;
    }
#define ORVEX_GLES3_LOAD(name, type)                   \
    name = reinterpret_cast<type>(loader("gl" #name)); \
    if (name == nullptr) {                             \
        if (missing) *missing = "gl" #name;            \
        return false;                                  \
    }
    ORVEX_GLES3_FUNCTIONS(ORVEX_GLES3_LOAD)
#undef ORVEX_GLES3_LOAD
    return true;
}

void Gles3Api::clear_errors() const {
    for (int k = 0; k < 8 && GetError() != GL_NO_ERROR; ++k) {
    }
}

}  // namespace orvex
