#include "render/text_format.h"

#include <cstdio>
#include <cstring>

namespace orvex {

std::size_t format_print_text(char (&out)[kPrintBufferSize], const char* format, std::va_list args) {
    out[0] = '\0';
    if (format == nullptr) return 0;
    const int wanted = std::vsnprintf(out, kPrintBufferSize, format, args);
    if (wanted < 0) {
        out[0] = '\0';
        return 0;
    }
    return std::strlen(out);
}

}  // namespace orvex
