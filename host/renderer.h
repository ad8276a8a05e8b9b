// Draws what a pilot would see of an installed gauge, as the host last
// plotted it: elements in tree order, black bitmap pixels transparent,
// needles turned about their pivot, icons showing their chosen picture,
// string elements through GDI, hidden elements left out.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"
#include "panel_host.h"

namespace host {

// The gauge's size in pixels: its background bitmap's (0 x 0 before install).
struct GaugeSize {
    int width = 0;
    int height = 0;
};
GaugeSize gauge_size(const Gauge& gauge);

// Draws the gauge with its background's top left at (x, y) of the canvas.
void render_gauge(const Gauge& gauge, Canvas& canvas, int x = 0, int y = 0);

// Draws one element alone, as render_gauge would (for measuring it).
void render_element(const Gauge& gauge, const ElementState& element, Canvas& canvas, int x = 0, int y = 0);

// One line of the legend under a picture of mouse areas.
struct AreaNote {
    std::string text;
    std::uint32_t colour;
};

// Outlines every mouse area of the gauge, scaled by `scale` from (x, y), and
// numbers them from `first_number`; returns a legend line per area with its
// box, cursor and help numbers and what a click does.
std::vector<AreaNote> render_mouse_areas(const Gauge& gauge, Canvas& canvas, int x = 0, int y = 0,
                                         double scale = 1.0, int first_number = 1);

// The face GDI actually uses for a string element's font (after the host's
// substitution of missing faces).
std::string font_face_used(const StringElement& text);

}  // namespace host
