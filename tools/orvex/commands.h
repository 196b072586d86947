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

}  // namespace orvex::tool
