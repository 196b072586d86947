// Where a picture's bytes come from: a file, read a piece at a time, or bytes
// already in memory (the fuzzer, the tests). Decoders read the header first
// and decide from it whether the rest is worth reading, so a huge file costs
// no more than its header unless it really is a picture within the limits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace orvex {

class PictureInput {
public:
    virtual ~PictureInput() = default;
    // The length in bytes.
    virtual uint64_t size() const = 0;
    // Up to n bytes from the current position; fewer only at the end or on a
    // read error.
    virtual std::size_t read(uint8_t* out, std::size_t n) = 0;
    // Moves to a position within the bytes; false beyond them or on error.
    virtual bool seek(uint64_t at) = 0;
    // The whole bytes when they are held in memory, else null.
    virtual const uint8_t* memory() const { return nullptr; }
    // The file the bytes come from, else null.
    virtual const std::filesystem::path* path() const { return nullptr; }
};

class MemoryInput final : public PictureInput {
public:
    MemoryInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    uint64_t size() const override { return size_; }
    std::size_t read(uint8_t* out, std::size_t n) override;
    bool seek(uint64_t at) override;
    const uint8_t* memory() const override { return data_; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

class FileInput final : public PictureInput {
public:
    // ok() tells whether the file could be opened and its length taken.
    explicit FileInput(std::filesystem::path path);
    bool ok() const { return ok_; }
    uint64_t size() const override { return size_; }
    std::size_t read(uint8_t* out, std::size_t n) override;
    bool seek(uint64_t at) override;
    const std::filesystem::path* path() const override { return &path_; }

private:
    std::filesystem::path path_;
    std::ifstream file_;
    uint64_t size_ = 0;
    bool ok_ = false;
};

// At most max_bytes from the start of the input (fewer when it is shorter);
// empty also when it can't be read.
std::vector<uint8_t> read_start(PictureInput& input, uint64_t max_bytes);

}  // namespace orvex
