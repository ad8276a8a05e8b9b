// bench: the update and draw cycle of a panel, timed per gauge and for the
// whole panel, beside one plain copy of the panel's frame buffer measured in
// the same run.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "scene.h"

namespace host::cli {

namespace {

const char* const bench_usage =
    "usage: panelhost bench PANEL.cfg|MODULE.gau [--frames N] [--set ...] [--gauges DIR]\n"
    "Runs N update and draw cycles (default 500) after install and initialize, each\n"
    "gauge's update, generate and draw routines and its picture, then the panel's\n"
    "composed picture, and prints the time per frame per gauge and for the whole\n"
    "panel, beside the time of one plain copy of the panel's frame buffer, and\n"
    "their ratio.\n";

class Clock {
public:
    Clock() { QueryPerformanceFrequency(&frequency_); }
    long long now() const {
        LARGE_INTEGER count;
        QueryPerformanceCounter(&count);
        return count.QuadPart;
    }
    double microseconds(long long ticks) const { return ticks * 1e6 / static_cast<double>(frequency_.QuadPart); }

private:
    LARGE_INTEGER frequency_;
};

}  // namespace

int bench_command(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    bool frames_given = false;
    for (const auto& argument : arguments) frames_given = frames_given || argument.rfind("--frames", 0) == 0;
    Options options = parse_options(arguments, take_scene);
    if (options.help) {
        out << bench_usage;
        return exit_done;
    }
    if (options.operands.size() != 1) throw UsageError("name one panel file or module file");
    if (!options.clicks.empty()) throw UsageError("bench takes no --click: every frame is the same cycle");
    int frames = frames_given ? options.frames : 500;
    Options setup = options;
    setup.frames = 1;
    Scene scene(options.operands[0], setup);
    scene.run(setup);
    Panel& panel = scene.panel();
    Canvas canvas(panel.width(), panel.height());
    panel.draw(canvas);
    std::vector<std::uint32_t> copy(static_cast<std::size_t>(canvas.width()) * canvas.height());
    std::size_t bytes = copy.size() * sizeof(std::uint32_t);

    Clock clock;
    std::vector<long long> per_gauge(panel.gauges().size(), 0);
    long long whole = 0, copying = 0;
    for (int frame = 0; frame < frames; ++frame) {
        scene.host().clear_trace();
        long long start = clock.now();
        for (std::size_t i = 0; i < panel.gauges().size(); ++i) {
            long long gauge_start = clock.now();
            panel.cycle_gauge(panel.gauges()[i]);
            panel.draw_gauge(panel.gauges()[i]);
            per_gauge[i] += clock.now() - gauge_start;
        }
        panel.compose(canvas);
        whole += clock.now() - start;
        long long copy_start = clock.now();
        std::memcpy(copy.data(), canvas.pixels(), bytes);
        copying += clock.now() - copy_start;
        // Keeps the copy from being left out.
        if (copy[static_cast<std::size_t>(frame) % copy.size()] == 0x12345678) out << "";
    }
    double copy_time = clock.microseconds(copying) / frames;
    char line[200];
    std::snprintf(line, sizeof line, "panel %d x %d, %d frames; one frame buffer copy (%zu bytes): %.2f us\n",
                  canvas.width(), canvas.height(), frames, bytes, copy_time);
    out << line;
    std::snprintf(line, sizeof line, "%-28s %12s %12s\n", "gauge", "us/frame", "x copy");
    out << line;
    for (std::size_t i = 0; i < panel.gauges().size(); ++i) {
        double time = clock.microseconds(per_gauge[i]) / frames;
        std::snprintf(line, sizeof line, "%-28s %12.2f %12.1f\n", panel.gauges()[i].gauge->name().c_str(), time,
                      copy_time > 0 ? time / copy_time : 0.0);
        out << line;
    }
    double whole_time = clock.microseconds(whole) / frames;
    std::snprintf(line, sizeof line, "%-28s %12.2f %12.1f\n", "whole panel", whole_time,
                  copy_time > 0 ? whole_time / copy_time : 0.0);
    out << line;
    for (const auto& error : scene.host().errors()) err << "host: " << error << "\n";
    return scene.host().errors().empty() ? exit_done : exit_faults;
}

}  // namespace host::cli
