// render, panel and trace: run a scene, then show its picture or its trace.
#include "command_line.h"
#include "commands.h"
#include "png_writer.h"
#include "scene.h"

namespace host::cli {

namespace {

const char* const scene_options =
    "  --set TOKEN=VALUE  set a host variable first (repeatable); TOKEN hex (0x3D) or\n"
    "                     decimal; VALUE a number, or a 32-bit word for 0x10, 0x12, 0x17\n"
    "  --click X,Y        click there (repeatable), each followed by a cycle\n"
    "  --frames N         update and draw cycles after the clicks (default 1)\n";

const char* const render_usage_text =
    "usage: panelhost render MODULE.gau|PANEL.cfg -o OUT.png [options]\n"
    "Installs and initializes the gauge, applies the settings and clicks between\n"
    "update and draw cycles, and writes what a pilot would see as a PNG file.\n";

const char* const panel_usage_text =
    "usage: panelhost panel PANEL.cfg -o OUT.png [--gauges DIR] [options]\n"
    "Places the gauges of the panel file's first [WindowNN] section, each\n"
    "`gaugeNN=module, x, y[, width]` line one gauge (modules from --gauges DIR, or\n"
    "the panel file's folder's gauges/, or dist/ beside that folder). Clicks are in\n"
    "panel pixels; each gauge keeps its mouse areas at its place.\n";

const char* const trace_usage_text =
    "usage: panelhost trace MODULE.gau|PANEL.cfg [options]\n"
    "Runs as render does and prints every routine call, service call, callback\n"
    "result, key event and variable change as JSON lines.\n";

int report_errors(PanelHost& host, std::ostream& err) {
    for (const auto& error : host.errors()) err << "host: " << error << "\n";
    return host.errors().empty() ? exit_done : exit_faults;
}

void note_missed_clicks(PanelHost& host, std::ostream& err) {
    for (const auto& entry : host.trace())
        if (entry.kind == TraceKind::error && entry.call == "click")
            err << "note: the click at " << static_cast<int>(entry.args[0]) << "," << static_cast<int>(entry.args[1])
                << " hit no mouse area\n";
}

int draw_scene(const Arguments& arguments, std::ostream& out, std::ostream& err, const char* usage,
               bool panel_only) {
    Options options = parse_options(arguments, take_output | take_scene | take_areas);
    if (options.help) {
        out << usage << scene_options << "  --areas            outline every registered mouse area\n"
            << (panel_only ? "  --gauges DIR       where the modules are\n" : "");
        return exit_done;
    }
    if (options.operands.size() != 1) throw UsageError("name one module file or panel file");
    if (!options.output) throw UsageError("name the picture to write with -o OUT.png");
    if (panel_only && options.operands[0].size() > 4 &&
        options.operands[0].substr(options.operands[0].size() - 4) == ".gau")
        throw UsageError("panel takes a panel file; render takes a module file");
    Scene scene(options.operands[0], options);
    scene.run(options);
    auto picture = scene.picture(options.areas);
    std::string error;
    if (!write_png(*picture, *options.output, error)) throw std::runtime_error(error);
    note_missed_clicks(scene.host(), err);
    out << *options.output << ": " << picture->width() << " x " << picture->height() << "\n";
    return report_errors(scene.host(), err);
}

}  // namespace

int render_command(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    return draw_scene(arguments, out, err, render_usage_text, false);
}

int panel_command(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    return draw_scene(arguments, out, err, panel_usage_text, true);
}

int trace_command(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    Options options = parse_options(arguments, take_scene);
    if (options.help) {
        out << trace_usage_text << scene_options;
        return exit_done;
    }
    if (options.operands.size() != 1) throw UsageError("name one module file or panel file");
    int status = exit_done;
    {
        Scene scene(options.operands[0], options);
        scene.run(options);
        scene.panel().stop();
        for (const auto& entry : scene.host().trace()) out << to_json(entry) << "\n";
        status = report_errors(scene.host(), err);
    }
    return status;
}

}  // namespace host::cli
