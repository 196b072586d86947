// Where the saver's files live: the maker folder "Halvorn ScreenSavers" under a
// base folder that the platform finds (on Windows the program-files folder, with
// the system folder and then the Windows folder as fall-backs). It holds the
// settings file, "Patterns2d" and "Pictures".
//
// Callers ask a MakerFolder once and keep the answer: the configuration dialog
// writes the settings back to the same folder it read them from.
#pragma once

#include <filesystem>
#include <utility>

namespace orvex {

inline constexpr const char* kMakerFolderName = "Halvorn ScreenSavers";

class MakerFolder {
public:
    virtual ~MakerFolder() = default;
    // The folder to read and write the saver's files in; empty when none was found.
    virtual std::filesystem::path locate() const = 0;
};

// The maker folder under base if it exists, otherwise base itself.
std::filesystem::path maker_folder_under(const std::filesystem::path& base);

// A folder given directly: by the tests and by the command-line tool.
class PlainMakerFolder : public MakerFolder {
public:
    explicit PlainMakerFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}
    std::filesystem::path locate() const override { return folder_; }

private:
    std::filesystem::path folder_;
};

}  // namespace orvex
