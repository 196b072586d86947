// Subcommands of the orvex tool. Each adds itself to the parser and returns the
// process exit status from its run: 0 done, 1 a file could not be used, 2 bad arguments.
#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace orvex::tool {

constexpr int kExitOk = 0;
constexpr int kExitFile = 1;
constexpr int kExitUsage = 2;

using CommandRun = std::function<int()>;

// Registers `simulate` on app; the returned function runs it once parsing succeeded.
CommandRun add_simulate_command(CLI::App& app);
// Registers `settings`: prints the settings a saver would run with from a settings file.
CommandRun add_settings_command(CLI::App& app);
// Registers `pattern-info`: a pattern file's format, size and rule, whether it loads, its
// cells, the rules the dialog lists it for.
CommandRun add_pattern_info_command(CLI::App& app);
#ifdef ORVEX_TOOL_RENDER
// Registers `render`: the saver's frame drawn headless into PNG files (native builds only).
CommandRun add_render_command(CLI::App& app);
#endif
#ifdef ORVEX_TOOL_RENDER_FORWARD
// Registers `render` as a hand-over to orvex-render beside the tool, with the same argv.
CommandRun add_render_forward(CLI::App& app, char** argv);
#endif

}  // namespace orvex::tool
