#include "panel_file.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace host {

namespace {

std::string trim(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(trim(part));
    if (!text.empty() && text.back() == separator) parts.push_back("");
    return parts;
}

class Reader {
public:
    Reader(const std::filesystem::path& path, int line) : path_(path), line_(line) {}

    [[noreturn]] void fail(const std::string& problem) const {
        throw PanelFileError(path_.string() + ":" + std::to_string(line_) + ": " + problem);
    }

    int integer(const std::string& text, const std::string& what, long low, long high) const {
        if (text.empty()) fail(what + " is missing");
        errno = 0;
        char* end = nullptr;
        long value = std::strtol(text.c_str(), &end, 10);
        if (*end != '\0' || errno == ERANGE) fail(what + " \"" + text + "\" is not a whole number");
        if (value < low || value > high)
            fail(what + " " + text + " is outside " + std::to_string(low) + " to " + std::to_string(high));
        return static_cast<int>(value);
    }

private:
    const std::filesystem::path& path_;
    int line_;
};

}  // namespace

PanelFile parse_panel_file(const std::string& text, const std::filesystem::path& path) {
    PanelFile panel;
    panel.path = path;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    bool in_window = false, window_done = false;
    std::set<std::string> keys;
    while (std::getline(in, raw)) {
        ++number;
        Reader reader(path, number);
        std::string line = raw;
        if (std::size_t comment = line.find_first_of(";"); comment != std::string::npos) line.resize(comment);
        line = trim(line);
        if (line.empty() || line[0] == '/') continue;
        if (line.front() == '[') {
            if (line.back() != ']') reader.fail("a section name must end with ]");
            std::string name = trim(line.substr(1, line.size() - 2));
            bool window = lower(name).rfind("window", 0) == 0 && name.size() > 6 &&
                          std::isdigit(static_cast<unsigned char>(name[6]));
            if (in_window) window_done = true;
            in_window = window && !window_done;
            if (in_window) panel.window = name;
            continue;
        }
        if (!in_window) continue;
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) reader.fail("\"" + line + "\" is not a key=value line");
        std::string key = lower(trim(line.substr(0, equals)));
        std::string value = trim(line.substr(equals + 1));
        if (!keys.insert(key).second) reader.fail(key + " is given twice in [" + panel.window + "]");
        if (key.rfind("gauge", 0) == 0) {
            std::vector<std::string> parts = split(value, ',');
            if (parts.size() < 3 || parts.size() > 4)
                reader.fail(key + " must be \"module, x, y\" or \"module, x, y, width\"");
            PanelGaugeLine gauge;
            gauge.key = key;
            gauge.line = number;
            gauge.module = parts[0];
            if (gauge.module.empty()) reader.fail(key + ": the module name is missing");
            if (gauge.module.find_first_of("/\\:") != std::string::npos)
                reader.fail(key + ": \"" + gauge.module + "\" is a path, not a module name in the gauges folder");
            if (gauge.module.size() > 4 && lower(gauge.module.substr(gauge.module.size() - 4)) == ".gau")
                gauge.module.resize(gauge.module.size() - 4);
            gauge.x = reader.integer(parts[1], key + " x", -4096, 4096);
            gauge.y = reader.integer(parts[2], key + " y", -4096, 4096);
            if (parts.size() == 4) gauge.width = reader.integer(parts[3], key + " width", 1, 4096);
            panel.gauges.push_back(gauge);
        } else if (key == "file") {
            if (value.empty()) reader.fail("file= names no bitmap");
            panel.bitmap = path.parent_path() / value;
        } else if (key == "background_color") {
            std::vector<std::string> parts = split(value, ',');
            if (parts.size() != 3) reader.fail("background_color must be \"red, green, blue\"");
            std::uint32_t colour = 0;
            for (const auto& part : parts)
                colour = colour << 8 | static_cast<std::uint32_t>(reader.integer(part, "background_color", 0, 255));
            panel.background_colour = colour;
        } else if (key == "size_mm") {
            std::vector<std::string> parts = split(value, ',');
            if (parts.size() != 2) reader.fail("size_mm must be \"width, height\"");
            panel.width = reader.integer(parts[0], "size_mm width", 1, 8192);
            panel.height = reader.integer(parts[1], "size_mm height", 1, 8192);
        }
    }
    if (panel.window.empty())
        throw PanelFileError(path.string() + ": no [Window00] (or other [WindowNN]) section");
    if (panel.gauges.empty()) throw PanelFileError(path.string() + ": [" + panel.window + "] places no gauge");
    return panel;
}

PanelFile read_panel_file(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw PanelFileError(path.string() + ": cannot read the panel file");
    std::ostringstream text;
    text << file.rdbuf();
    return parse_panel_file(text.str(), path);
}

}  // namespace host
