// printf-style formatting into the fixed buffer of the on-screen text: text
// longer than the buffer is cut, never written past its end.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace orvex {

constexpr std::size_t kPrintBufferSize = 256;  // 255 characters and the terminator

// Formats into out and returns the number of characters kept (0..255). A null
// format or a formatting error leaves out empty.
std::size_t format_print_text(char (&out)[kPrintBufferSize], const char* format, std::va_list args);

}  // namespace orvex
