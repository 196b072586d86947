// The BMP band streaming on its own, on arbitrary bytes with the product's
// limits: a header it takes either streams into a picture within the limits
// or fails with one of the reader's messages; memory stays within what the
// fuzzer's malloc limit allows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "picture/bmp_stream.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex;
    const auto header = read_bmp_header(data, size < kBmpHeadBytes ? size : kBmpHeadBytes, size);
    if (!header || !bmp_streams(*header)) return 0;
    require(header->data_at <= size);
    PictureLimits limits;
    limits.max_side = 1024;  // the texture of a window up to 1024 pixels wide
    MemoryInput input(data, size);
    const BmpStreamResult result = stream_bmp(input, *header, limits);
    if (!result.image) {
        const std::string why = result.failure ? result.failure : "";
        require(why == kBmpConversionError || why == kBmpUnknownFormat || why == kBmpOutOfMemory);
        return 0;
    }
    const RgbImage& image = *result.image;
    require(image.width > 0 && image.height > 0 && image.width <= 1024 && image.height <= 1024);
    require(image.pixels.size() == static_cast<size_t>(image.width) * image.height * 3);
    return 0;
}
