#include "host/win32/saver_args.h"

#include <limits>

namespace orvex {

namespace {

bool mode_letter(char c, SaverMode& mode) {
    switch (c) {
        case 'S':
        case 's': mode = SaverMode::FullScreen; return true;
        case 'C':
        case 'c': mode = SaverMode::Configure; return true;
        case 'P':
        case 'p': mode = SaverMode::Preview; return true;
        case 'A':
        case 'a': mode = SaverMode::ChangePassword; return true;
        default: return false;
    }
}

std::uintptr_t parse_handle(std::string_view rest) {
    std::size_t i = 0;
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
    if (i < rest.size() && rest[i] == ':') ++i;
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
    // Window handles are 32-bit values, also in 64-bit processes.
    constexpr std::uint64_t kMaxHandle = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) {
        value = value * 10 + static_cast<std::uint64_t>(rest[i] - '0');
        if (value > kMaxHandle) return 0;
    }
    return static_cast<std::uintptr_t>(value);
}

}  // namespace

SaverArgs parse_saver_args(std::string_view command_line) {
    SaverArgs args;
    for (std::size_t i = 0; i < command_line.size(); ++i) {
        if (!mode_letter(command_line[i], args.mode)) continue;
        if (args.mode == SaverMode::Preview || args.mode == SaverMode::ChangePassword ||
            args.mode == SaverMode::Configure)
            args.window = parse_handle(command_line.substr(i + 1));
        return args;
    }
    return args;
}

}  // namespace orvex
