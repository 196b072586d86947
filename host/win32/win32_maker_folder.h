// The maker folder on Windows: "Halvorn ScreenSavers" under the program-files
// folder (its current path), else under the system folder, else under the
// Windows folder; the base folder itself when the maker folder is missing.
#pragma once

#include "config/maker_folder.h"

namespace orvex::win32 {

class Win32MakerFolder : public MakerFolder {
public:
    std::filesystem::path locate() const override;
    // The folder the maker folder is looked for in; empty when none was found.
    std::filesystem::path base_folder() const;
};

}  // namespace orvex::win32
