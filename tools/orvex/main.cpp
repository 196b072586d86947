// orvex: the saver's automaton, seeds and renderer from the command line.
#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <vector>

#include "tools/orvex/commands.h"

int main(int argc, char** argv) {
    using namespace orvex::tool;
    CLI::App app{"Orvex ScreenSaver 2.0 command-line tool"};
    app.require_subcommand(1, 1);

    std::vector<std::pair<CLI::App*, CommandRun>> commands;
    auto add = [&](CommandRun run) { commands.emplace_back(app.get_subcommands({}).back(), run); };
    add(add_simulate_command(app));
    add(add_settings_command(app));
    add(add_pattern_info_command(app));
#if defined(ORVEX_TOOL_RENDER)
    add(add_render_command(app));
#elif defined(ORVEX_TOOL_RENDER_FORWARD)
    add(add_render_forward(app, argv));
#endif

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "orvex: " << e.what() << "\n";
        return kExitUsage;
    }
    try {
        for (auto& [sub, run] : commands)
            if (sub->parsed()) return run();
    } catch (const std::exception& e) {
        std::cerr << "orvex: " << e.what() << "\n";
        return kExitFile;
    }
    return kExitUsage;
}
