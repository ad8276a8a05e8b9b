// The panelhost subcommands. Each takes its arguments after the command
// name, writes its results to `out` and its complaints to `err`, and
// returns the exit status: 0 done, 1 the module or panel has faults,
// 2 the command line cannot be run.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace host::cli {

using Arguments = std::vector<std::string>;

int run_panelhost(const Arguments& arguments, std::ostream& out, std::ostream& err);

int check_command(const Arguments& arguments, std::ostream& out, std::ostream& err);
int render_command(const Arguments& arguments, std::ostream& out, std::ostream& err);
int trace_command(const Arguments& arguments, std::ostream& out, std::ostream& err);
int panel_command(const Arguments& arguments, std::ostream& out, std::ostream& err);
int sweep_command(const Arguments& arguments, std::ostream& out, std::ostream& err);
int bench_command(const Arguments& arguments, std::ostream& out, std::ostream& err);

constexpr int exit_done = 0;
constexpr int exit_faults = 1;
constexpr int exit_usage = 2;

}  // namespace host::cli
