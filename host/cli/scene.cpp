#include "scene.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace host::cli {

namespace {
bool is_module_file(const std::string& source) {
    return source.size() > 4 && (source.substr(source.size() - 4) == ".gau" || source.substr(source.size() - 4) == ".GAU");
}
}  // namespace

std::filesystem::path gauges_folder(const std::filesystem::path& panel_file, const Options& options) {
    if (options.gauges) return *options.gauges;
    std::filesystem::path folder = panel_file.parent_path();
    for (auto candidate : {folder / "gauges", folder / ".." / "dist", folder})
        if (std::filesystem::is_directory(candidate)) return candidate;
    return folder;
}

Scene::Scene(const std::string& source, const Options& options) {
    panel_ = std::make_unique<Panel>(host_);
    if (is_module_file(source)) {
        if (options.gauges) throw UsageError("--gauges is for panel files, not for a module file");
        panel_->place(source, 0, 0);
    } else {
        std::filesystem::path path = source;
        PanelFile file = read_panel_file(path);
        panel_->load(file, gauges_folder(path, options));
    }
}

void Scene::set(const Setting& setting) {
    const std::string& text = setting.text;
    errno = 0;
    char* end = nullptr;
    if (VariableStore::form_of(setting.token) == VariableForm::word) {
        unsigned long long word = std::strtoull(text.c_str(), &end, 0);
        if (*end != '\0' || errno == ERANGE || word > 0xFFFFFFFFull || text[0] == '-')
            throw UsageError("--set " + hex(setting.token) + "=" + text + ": token " + hex(setting.token) +
                             " holds a 32-bit word (0x... or a whole number)");
        host_.variables().set_word(setting.token, static_cast<std::uint32_t>(word));
        host_.record(TraceKind::variable, "variable", {setting.token, static_cast<std::uint32_t>(word)}, "set");
    } else {
        double number = std::strtod(text.c_str(), &end);
        if (*end != '\0' || errno == ERANGE || !std::isfinite(number))
            throw UsageError("--set " + hex(setting.token) + "=" + text + ": token " + hex(setting.token) +
                             " holds a number, and \"" + text + "\" is not one");
        host_.variables().set_number(setting.token, number);
        char shown[40];
        std::snprintf(shown, sizeof shown, "%.17g", number);
        host_.record(TraceKind::variable, "variable", {setting.token}, std::string("set ") + shown);
    }
}

void Scene::run(const Options& options) {
    for (const auto& setting : options.settings) set(setting);
    panel_->start();
    panel_->cycle();
    for (const auto& click : options.clicks) {
        if (!panel_->click(click.x, click.y))
            host_.record(TraceKind::error, "click", {static_cast<std::uint32_t>(click.x), static_cast<std::uint32_t>(click.y)},
                         "no mouse area at this point");
        panel_->cycle();
    }
    for (int frame = 1; frame < options.frames; ++frame) panel_->cycle();
}

std::unique_ptr<Canvas> Scene::picture(bool areas) {
    auto canvas = std::make_unique<Canvas>(panel_->width(), panel_->height());
    panel_->draw(*canvas);
    if (!areas) return canvas;
    std::vector<AreaNote> notes = panel_->draw_areas(*canvas);
    // The legend goes under the picture, one line per area.
    constexpr int line_height = 12;
    int legend = static_cast<int>(notes.size()) * line_height + 6;
    int width = std::max(canvas->width(), 600);
    auto sheet = std::make_unique<Canvas>(width, canvas->height() + legend, 0x181818);
    GdiFlush();
    for (int y = 0; y < canvas->height(); ++y)
        for (int x = 0; x < canvas->width(); ++x) sheet->set(x, y, canvas->at(x, y));
    for (std::size_t i = 0; i < notes.size(); ++i)
        sheet->label(3, canvas->height() + 3 + static_cast<int>(i) * line_height, notes[i].text.c_str(),
                     notes[i].colour);
    return sheet;
}

}  // namespace host::cli
