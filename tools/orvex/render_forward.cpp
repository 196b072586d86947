// orvex render in the orvex tool: the headless renderer (OSMesa, and with it
// LLVM) lives in the executable orvex-render beside the tool, so only this
// command loads it. The command line is handed over unchanged.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "tools/orvex/commands.h"

namespace orvex::tool {

namespace {

std::filesystem::path render_executable() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (ec ? std::filesystem::path(".") : self.parent_path()) / "orvex-render";
}

int run_forward(char** argv) {
    const std::string path = render_executable().string();
    ::execv(path.c_str(), argv);
    std::cerr << "orvex: cannot run '" << path << "': " << std::strerror(errno) << "\n";
    return kExitFile;
}

}  // namespace

CommandRun add_render_forward(CLI::App& app, char** argv) {
    CLI::App* sub =
        app.add_subcommand("render", "Draw the saver's picture of a field into PNG files, without a window");
    sub->prefix_command();
    sub->set_help_flag();
    return [argv] { return run_forward(argv); };
}

}  // namespace orvex::tool
