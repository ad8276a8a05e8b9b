#include "commands.h"

#include <exception>

#include "command_line.h"
#include "panel_file.h"
#include "panel_host.h"

namespace host::cli {

namespace {

const char* const usage =
    "usage: panelhost COMMAND [ARGUMENTS] (panelhost COMMAND --help for each)\n"
    "\n"
    "  check MODULE.gau...           the records, resources and defects of each module\n"
    "  render MODULE.gau -o OUT.png  the gauge as a pilot sees it (--set, --click, --frames, --areas)\n"
    "  trace MODULE.gau              every service call, callback, key event and variable change\n"
    "  sweep MODULE.gau --var TOKEN --from A --to B --steps N -o SHEET.png\n"
    "  panel FILE -o OUT.png         the gauges of a panel.cfg-style file on one panel\n"
    "  bench FILE|MODULE.gau         time per frame per gauge and for the whole panel\n";

struct Command {
    const char* name;
    int (*run)(const Arguments&, std::ostream&, std::ostream&);
};

constexpr Command commands[] = {
    {"check", check_command}, {"render", render_command}, {"trace", trace_command},
    {"sweep", sweep_command}, {"panel", panel_command},   {"bench", bench_command},
};

}  // namespace

int run_panelhost(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty()) {
        err << usage;
        return exit_usage;
    }
    if (arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "help") {
        out << usage;
        return exit_done;
    }
    for (const auto& command : commands) {
        if (arguments[0] != command.name) continue;
        Arguments rest(arguments.begin() + 1, arguments.end());
        try {
            return command.run(rest, out, err);
        } catch (const UsageError& error) {
            err << "panelhost " << command.name << ": " << error.what() << "\n"
                << "(panelhost " << command.name << " --help tells how to use it)\n";
            return exit_usage;
        } catch (const PanelFileError& error) {
            err << "panelhost " << command.name << ": " << error.what() << "\n";
            return exit_faults;
        } catch (const ModuleRejected& error) {
            err << "panelhost " << command.name << ": the host refuses the module:\n" << error.what();
            return exit_faults;
        } catch (const std::exception& error) {
            err << "panelhost " << command.name << ": " << error.what() << "\n";
            return exit_faults;
        }
    }
    err << "panelhost: unknown command \"" << arguments[0] << "\"\n" << usage;
    return exit_usage;
}

}  // namespace host::cli
