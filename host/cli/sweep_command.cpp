// sweep: one gauge at N values of one variable, on one contact sheet.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "command_line.h"
#include "commands.h"
#include "png_writer.h"
#include "scene.h"

namespace host::cli {

namespace {

const char* const sweep_usage =
    "usage: panelhost sweep MODULE.gau|PANEL.cfg --var TOKEN --from A --to B --steps N -o SHEET.png\n"
    "Renders at N values of the variable, evenly from A to B (whole words for the\n"
    "word tokens 0x10, 0x12, 0x17), each frame labelled with its value, on one\n"
    "contact sheet. --set, --click and --frames apply to every frame.\n";

double parse_number(const std::string& text, const char* what) {
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(value))
        throw UsageError(std::string(what) + " \"" + text + "\" is not a number");
    return value;
}

}  // namespace

int sweep_command(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    Options options = parse_options(arguments, take_output | take_scene | take_sweep);
    if (options.help) {
        out << sweep_usage;
        return exit_done;
    }
    if (options.operands.size() != 1) throw UsageError("name one module file or panel file");
    if (!options.output) throw UsageError("name the contact sheet to write with -o SHEET.png");
    if (!options.var || !options.from || !options.to || options.steps < 1)
        throw UsageError("sweep needs --var, --from, --to and --steps");
    bool word = VariableStore::form_of(*options.var) == VariableForm::word;
    double from = parse_number(*options.from, "--from"), to = parse_number(*options.to, "--to");
    if (word && (from < 0 || to < 0 || from > 4294967295.0 || to > 4294967295.0))
        throw UsageError("token " + hex(*options.var) + " holds a 32-bit word: --from and --to must be 0 to 0xFFFFFFFF");

    std::unique_ptr<Canvas> sheet;
    int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(options.steps))));
    int rows = (options.steps + columns - 1) / columns;
    constexpr int gap = 6, label_height = 16;
    int status = exit_done;
    for (int step = 0; step < options.steps; ++step) {
        double share = options.steps == 1 ? 0.0 : static_cast<double>(step) / (options.steps - 1);
        double value = from + (to - from) * share;
        Setting setting;
        setting.token = *options.var;
        char text[48];
        if (word) {
            std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(std::llround(value)));
        } else {
            std::snprintf(text, sizeof text, "%.17g", value);
        }
        setting.text = text;
        Options frame_options = options;
        frame_options.settings.push_back(setting);
        Scene scene(options.operands[0], frame_options);
        scene.run(frame_options);
        auto picture = scene.picture(false);
        if (!sheet)
            sheet = std::make_unique<Canvas>(columns * (picture->width() + gap) + gap,
                                             rows * (picture->height() + label_height + gap) + gap, 0x202020);
        int x = gap + (step % columns) * (picture->width() + gap);
        int y = gap + (step / columns) * (picture->height() + label_height + gap);
        sheet->fill_rect(x, y, picture->width(), picture->height(), 0);
        sheet->draw_canvas(*picture, x, y, picture->width(), picture->height());
        char label[80];
        if (word)
            std::snprintf(label, sizeof label, "%s=%s", hex(*options.var).c_str(), text);
        else
            std::snprintf(label, sizeof label, "%s=%g", hex(*options.var).c_str(), value);
        sheet->label(x + 2, y + picture->height() + 2, label, 0xFFFFFF);
        for (const auto& error : scene.host().errors()) {
            err << "host (" << label << "): " << error << "\n";
            status = exit_faults;
        }
    }
    std::string error;
    if (!write_png(*sheet, *options.output, error)) throw std::runtime_error(error);
    out << *options.output << ": " << options.steps << " frames, " << sheet->width() << " x " << sheet->height()
        << "\n";
    return status;
}

}  // namespace host::cli
