// Scratch folders and whole files for the tests of every folder.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define ORVEX_TEST_PID _getpid
#else
#include <unistd.h>
#define ORVEX_TEST_PID getpid
#endif

namespace orvex::test {

// A fresh, empty folder under the system's temporary folder, named after the
// running case (and `name`, when one case wants several), removed with the
// object. Parallel runs and repeated cases never share one.
class TempFolder {
public:
    explicit TempFolder(const std::string& name = "") : path(std::filesystem::temp_directory_path() / leaf(name)) {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }

    std::filesystem::path operator/(const std::filesystem::path& inside) const { return path / inside; }

    const std::filesystem::path path;

private:
    static std::string leaf(const std::string& name) {
        static std::atomic<int> made{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string leaf = "orvex_";
        if (info) leaf += std::string(info->test_suite_name()) + "." + info->name() + "_";
        if (!name.empty()) leaf += name + "_";
        return leaf + std::to_string(ORVEX_TEST_PID()) + "_" + std::to_string(made++);
    }
};

// Writes the bytes as they are, making the folders above the file.
inline void write_file(const std::filesystem::path& path, std::string_view bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The whole file; empty when it can't be read.
inline std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace orvex::test

#undef ORVEX_TEST_PID
