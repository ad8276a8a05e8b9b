#include <iostream>

#include "command_line.h"
#include "commands.h"
#include "module_report.h"

namespace host::cli {

namespace {
const char* const check_usage =
    "usage: panelhost check [--json] MODULE.gau...\n"
    "Loads each module, checks every record before calling any of it, installs its\n"
    "gauge to read the mouse list, and reports the gauge name, nominal size, element\n"
    "tree, scales, mouse list, resources, version strings and import tables, then\n"
    "every defect, each naming its record and field. --json writes one JSON object\n"
    "per module, one a line. Exit status 1 when any module has a defect.\n";
}

int check_command(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    Options options = parse_options(arguments, take_json);
    if (options.help) {
        out << check_usage;
        return exit_done;
    }
    if (options.operands.empty()) throw UsageError("name at least one module file");
    int status = exit_done;
    for (const auto& path : options.operands) {
        ModuleReport report;
        {
            PanelHost host;
            report = report_module(host, path);
        }
        const JsonValue* defects = report.value.find("defects");
        bool faulty = !report.sound || (defects && !defects->items().empty());
        if (faulty) status = exit_faults;
        if (options.json) {
            JsonValue line = report.value;
            line.set("sound", !faulty);
            out << line.json() << "\n";
        } else {
            out << report.value.text();
            out << (faulty ? "result: DEFECTIVE\n" : "result: no defect found\n");
            if (options.operands.size() > 1) out << "\n";
        }
        if (faulty && !options.json) err << path << ": defects found\n";
    }
    return status;
}

}  // namespace host::cli
