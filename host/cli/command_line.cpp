#include "command_line.h"

#include <cerrno>
#include <cstdlib>

namespace host::cli {

std::uint32_t parse_token(const std::string& text, const std::string& what) {
    if (text.empty() || text[0] == '-' || text[0] == '+') throw UsageError(what + " \"" + text + "\" is not a token");
    errno = 0;
    char* end = nullptr;
    unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (*end != '\0' || errno == ERANGE || value > 0xFFFFFFFFull)
        throw UsageError(what + " \"" + text + "\" is not a token (a hexadecimal 0x... or decimal number)");
    return static_cast<std::uint32_t>(value);
}

int parse_count(const std::string& text, const std::string& what, int low, int high) {
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || value < low || value > high)
        throw UsageError(what + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not \"" + text + "\"");
    return static_cast<int>(value);
}

namespace {

Click parse_click(const std::string& text) {
    std::size_t comma = text.find(',');
    if (comma == std::string::npos) throw UsageError("--click takes X,Y, not \"" + text + "\"");
    Click click;
    click.x = parse_count(text.substr(0, comma), "--click X", -100000, 100000);
    click.y = parse_count(text.substr(comma + 1), "--click Y", -100000, 100000);
    return click;
}

Setting parse_setting(const std::string& text) {
    std::size_t equals = text.find('=');
    if (equals == std::string::npos) throw UsageError("--set takes TOKEN=VALUE, not \"" + text + "\"");
    Setting setting;
    setting.token = parse_token(text.substr(0, equals), "--set token");
    setting.text = text.substr(equals + 1);
    if (setting.text.empty()) throw UsageError("--set " + text + " gives no value");
    return setting;
}

}  // namespace

Options parse_options(const std::vector<std::string>& arguments, unsigned allowed) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](unsigned needed) -> std::string {
            if (!(allowed & needed)) throw UsageError("this command takes no " + argument + " option");
            std::string text;
            std::size_t equals = argument.find('=');
            if (argument.rfind("--", 0) == 0 && equals != std::string::npos) return argument.substr(equals + 1);
            if (i + 1 >= arguments.size()) throw UsageError(argument + " needs a value");
            return arguments[++i];
        };
        auto flag = [&](unsigned needed) {
            if (!(allowed & needed)) throw UsageError("this command takes no " + argument + " option");
            return true;
        };
        std::string name = argument.substr(0, argument.find('='));
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (name == "-o" || name == "--output") {
            options.output = value(take_output);
        } else if (name == "--set") {
            options.settings.push_back(parse_setting(value(take_scene)));
        } else if (name == "--click") {
            options.clicks.push_back(parse_click(value(take_scene)));
        } else if (name == "--frames") {
            options.frames = parse_count(value(take_scene), "--frames", 1, 1000000);
        } else if (name == "--gauges") {
            options.gauges = value(take_scene);
        } else if (argument == "--areas") {
            options.areas = flag(take_areas);
        } else if (argument == "--json") {
            options.json = flag(take_json);
        } else if (name == "--var") {
            options.var = parse_token(value(take_sweep), "--var");
        } else if (name == "--from") {
            options.from = value(take_sweep);
        } else if (name == "--to") {
            options.to = value(take_sweep);
        } else if (name == "--steps") {
            options.steps = parse_count(value(take_sweep), "--steps", 1, 400);
        } else if (argument.size() > 1 && argument[0] == '-') {
            throw UsageError("unknown option " + argument);
        } else {
            options.operands.push_back(argument);
        }
    }
    return options;
}

}  // namespace host::cli
