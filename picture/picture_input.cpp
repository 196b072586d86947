#include "picture/picture_input.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace orvex {

std::size_t MemoryInput::read(uint8_t* out, std::size_t n) {
    const std::size_t count = std::min(n, size_ - at_);
    if (count > 0) std::memcpy(out, data_ + at_, count);
    at_ += count;
    return count;
}

bool MemoryInput::seek(uint64_t at) {
    if (at > size_) return false;
    at_ = static_cast<std::size_t>(at);
    return true;
}

FileInput::FileInput(std::filesystem::path path) : path_(std::move(path)), file_(path_, std::ios::binary) {
    if (!file_) return;
    file_.seekg(0, std::ios::end);
    const std::streamoff length = file_.tellg();
    file_.seekg(0, std::ios::beg);
    if (length < 0 || !file_) return;
    size_ = static_cast<uint64_t>(length);
    ok_ = true;
}

std::size_t FileInput::read(uint8_t* out, std::size_t n) {
    if (!ok_ || n == 0) return 0;
    file_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(n));
    const std::streamsize got = file_.gcount();
    if (!file_) file_.clear();  // a short read at the end leaves the stream usable for seeking
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

bool FileInput::seek(uint64_t at) {
    if (!ok_ || at > size_) return false;
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(at));
    return static_cast<bool>(file_);
}

std::vector<uint8_t> read_start(PictureInput& input, uint64_t max_bytes) {
    std::vector<uint8_t> bytes(static_cast<std::size_t>(std::min(max_bytes, input.size())));
    if (!input.seek(0)) return {};
    bytes.resize(input.read(bytes.data(), bytes.size()));
    return bytes;
}

}  // namespace orvex
