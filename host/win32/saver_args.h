// The screen saver command line, as the platform passes it after the program
// name: "/s", "/S", "/p 1234", "/P:1234", "/c", "/c:1234", "/a 1234", or nothing.
//
// The first of the letters S, C, P, A (either case) decides; every other
// character before it is skipped, and without any of them the saver shows its
// configuration. The window handle is the decimal number after the letter, past
// any blanks, tabs and one colon; no digit there, or a number too large for a
// handle, gives 0.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvex {

enum class SaverMode { Configure, FullScreen, Preview, ChangePassword };

struct SaverArgs {
    SaverMode mode = SaverMode::Configure;
    std::uintptr_t window = 0;  // preview parent, dialog owner; 0 when none was given
};

SaverArgs parse_saver_args(std::string_view command_line);

}  // namespace orvex
