// The panelhost command line: one subcommand, then its operands and options.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace host::cli {

// A command line that cannot be run; the message says what to change.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Setting {
    std::uint32_t token = 0;
    std::string text;  // the value as typed; its form follows the token
};

struct Click {
    int x = 0;
    int y = 0;
};

struct Options {
    std::vector<std::string> operands;
    std::optional<std::string> output;  // -o
    std::vector<Setting> settings;      // --set, in order
    std::vector<Click> clicks;          // --click, in order
    int frames = 1;                     // --frames
    bool areas = false;                 // --areas
    bool json = false;                  // --json
    bool help = false;                  // --help
    std::optional<std::string> gauges;  // --gauges
    std::optional<std::uint32_t> var;   // --var
    std::optional<std::string> from, to;  // --from, --to
    int steps = 0;                      // --steps
};

// Which options a subcommand takes (besides --help).
enum OptionSet : unsigned {
    take_output = 1,
    take_scene = 2,  // --set, --click, --frames, --gauges
    take_areas = 4,
    take_json = 8,
    take_sweep = 16,
};

Options parse_options(const std::vector<std::string>& arguments, unsigned allowed);

// "0x3D" or "61"; throws UsageError naming `what`.
std::uint32_t parse_token(const std::string& text, const std::string& what);
int parse_count(const std::string& text, const std::string& what, int low, int high);

}  // namespace host::cli
