// Gauges placed on one panel, driven together: each gauge keeps its own
// mouse areas at its place, clicks and settings apply to the panel as a
// whole, and the panel's picture is its background with every gauge drawn
// over it in the order placed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bitmap.h"
#include "canvas.h"
#include "panel_file.h"
#include "panel_host.h"
#include "renderer.h"

namespace host {

struct PlacedGauge {
    Gauge* gauge = nullptr;
    std::string label;  // "gauge00" or the module file name
    int x = 0;
    int y = 0;
    int width = 0;   // as drawn on the panel
    int height = 0;
    std::unique_ptr<Canvas> frame;  // the gauge's own picture
};

class Panel {
public:
    explicit Panel(PanelHost& host) : host_(host) {}
    ~Panel();

    // Loads the module and places its gauge; throws ModuleRejected.
    PlacedGauge& place(const std::filesystem::path& module, int x, int y, std::optional<int> width = {},
                       std::string label = {});
    // A panel from a panel file, modules looked up in `gauges_folder`.
    // Throws PanelFileError or ModuleRejected.
    void load(const PanelFile& file, const std::filesystem::path& gauges_folder);

    void set_background(std::uint32_t colour) { background_colour_ = colour; }
    void set_size(int width, int height);

    // Starts every module and installs and initializes its gauge; the
    // gauges' sizes are known from here on.
    void start();
    // One update and draw cycle of every gauge.
    void cycle();
    // Draws every gauge's picture and the panel's.
    void draw(Canvas& canvas);
    // Mouse areas over the panel's picture; their legend lines.
    std::vector<AreaNote> draw_areas(Canvas& canvas) const;
    // Kills every gauge and stops its module (also done on destruction).
    void stop();

    // A click on the panel: the last placed gauge under the point whose
    // mouse area holds it takes it. False when none does.
    bool click(int x, int y);

    int width() const;
    int height() const;
    std::vector<PlacedGauge>& gauges() { return gauges_; }
    PanelHost& host() { return host_; }

    // One gauge's cycle and picture, for timing it alone.
    void cycle_gauge(PlacedGauge& placed);
    void draw_gauge(PlacedGauge& placed);
    void compose(Canvas& canvas) const;

private:
    PanelHost& host_;
    std::vector<PlacedGauge> gauges_;
    std::uint32_t background_colour_ = 0;
    std::optional<ImageRecord> background_;
    std::optional<int> width_, height_;
    bool started_ = false;
};

}  // namespace host
