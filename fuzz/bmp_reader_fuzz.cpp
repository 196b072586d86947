// The BMP reader on arbitrary bytes: it either gives a well-formed picture and
// says nothing, or gives none and shows exactly one "Error" message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "render/bmp_reader.h"

namespace {

constexpr int64_t kFuzzMaxPixels = 1 << 20;  // big allocations only slow the search down

void require(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex;
    RecordingMessageSink sink;
    const auto image = auxDIBImageLoadA(data, size, "fuzz.bmp", sink, kFuzzMaxPixels);
    if (!image) {
        require(sink.messages.size() == 1 && sink.messages[0].caption == "Error");
        return 0;
    }
    require(sink.messages.empty());
    require(image->width > 0 && image->height > 0);
    require(int64_t{image->width} * image->height <= kFuzzMaxPixels);
    require(image->pixels.size() == static_cast<size_t>(image->width) * image->height * 3);
    return 0;
}
