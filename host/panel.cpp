#include "panel.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "renderer.h"

namespace host {

namespace {

// A .bmp file for a panel background: the file header, then a DIB.
ImageRecord read_bitmap_file(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw PanelFileError(path.string() + ": cannot read the background bitmap");
    std::ostringstream bytes;
    bytes << file.rdbuf();
    std::string data = bytes.str();
    if (data.size() < sizeof(BITMAPFILEHEADER) || data[0] != 'B' || data[1] != 'M')
        throw PanelFileError(path.string() + ": not a .bmp file");
    std::string error;
    auto image = parse_dib(reinterpret_cast<const std::uint8_t*>(data.data()) + sizeof(BITMAPFILEHEADER),
                           data.size() - sizeof(BITMAPFILEHEADER), error);
    if (!image) throw PanelFileError(path.string() + ": the bitmap " + error);
    return std::move(*image);
}

}  // namespace

Panel::~Panel() { stop(); }

PlacedGauge& Panel::place(const std::filesystem::path& module_path, int x, int y, std::optional<int> width,
                          std::string label) {
    Module& module = host_.load(module_path);
    for (const auto& placed : gauges_)
        if (&placed.gauge->module() == &module)
            throw ModuleRejected({{module.file_name(), "panel", label.empty() ? "gauge" : label,
                                   "the module is already on the panel; the host holds one copy of its records"}});
    PlacedGauge placed;
    placed.gauge = &module.gauge();
    placed.label = label.empty() ? module.file_name() : label;
    placed.x = x;
    placed.y = y;
    placed.width = width.value_or(0);
    gauges_.push_back(std::move(placed));
    return gauges_.back();
}

void Panel::load(const PanelFile& file, const std::filesystem::path& gauges_folder) {
    if (file.bitmap) background_ = read_bitmap_file(*file.bitmap);
    background_colour_ = file.background_colour;
    width_ = file.width;
    height_ = file.height;
    for (const auto& line : file.gauges) {
        std::filesystem::path module = gauges_folder / (line.module + ".gau");
        if (!std::filesystem::is_regular_file(module))
            throw PanelFileError(file.path.string() + ":" + std::to_string(line.line) + ": " + line.key + ": no " +
                                 module.filename().string() + " in " + gauges_folder.string());
        place(module, line.x, line.y, line.width, line.key);
    }
}

void Panel::set_size(int width, int height) {
    width_ = width;
    height_ = height;
}

void Panel::start() {
    if (started_) return;
    started_ = true;
    for (auto& placed : gauges_) {
        Gauge& gauge = *placed.gauge;
        gauge.module().module_start();
        gauge.query();
        gauge.install(0);
        gauge.initialize();
        GaugeSize size = gauge_size(gauge);
        if (size.width <= 0 || size.height <= 0) size = {1, 1};
        if (placed.width > 0) {
            placed.height = std::max(1, static_cast<int>(std::lround(static_cast<double>(size.height) * placed.width /
                                                                     size.width)));
        } else {
            placed.width = size.width;
            placed.height = size.height;
        }
        placed.frame = std::make_unique<Canvas>(size.width, size.height);
    }
}

void Panel::cycle_gauge(PlacedGauge& placed) {
    placed.gauge->update();
    placed.gauge->generate(0);
    placed.gauge->draw();
}

void Panel::cycle() {
    start();
    for (auto& placed : gauges_) cycle_gauge(placed);
}

void Panel::draw_gauge(PlacedGauge& placed) {
    placed.frame->fill(0);
    render_gauge(*placed.gauge, *placed.frame);
}

void Panel::compose(Canvas& canvas) const {
    canvas.fill(background_colour_);
    if (background_) {
        GdiFlush();
        for (int y = 0; y < std::min(background_->height, canvas.height()); ++y)
            for (int x = 0; x < std::min(background_->width, canvas.width()); ++x)
                canvas.set(x, y, background_->at(x, y));
    }
    for (const auto& placed : gauges_)
        if (placed.frame) canvas.draw_canvas(*placed.frame, placed.x, placed.y, placed.width, placed.height);
}

void Panel::draw(Canvas& canvas) {
    start();
    for (auto& placed : gauges_) draw_gauge(placed);
    compose(canvas);
}

std::vector<AreaNote> Panel::draw_areas(Canvas& canvas) const {
    std::vector<AreaNote> notes;
    for (const auto& placed : gauges_) {
        if (!placed.frame) continue;
        double scale = static_cast<double>(placed.width) / placed.frame->width();
        auto more = render_mouse_areas(*placed.gauge, canvas, placed.x, placed.y, scale,
                                       static_cast<int>(notes.size()) + 1);
        notes.insert(notes.end(), more.begin(), more.end());
    }
    return notes;
}

void Panel::stop() {
    if (!started_) return;
    started_ = false;
    for (auto& placed : gauges_) {
        placed.gauge->kill();
        placed.gauge->module().module_stop();
    }
}

bool Panel::click(int x, int y) {
    start();
    for (auto it = gauges_.rbegin(); it != gauges_.rend(); ++it) {
        PlacedGauge& placed = *it;
        if (x < placed.x || y < placed.y || x >= placed.x + placed.width || y >= placed.y + placed.height) continue;
        // Back to the gauge's own pixels where it is drawn scaled.
        int gx = static_cast<int>(static_cast<long long>(x - placed.x) * placed.frame->width() / placed.width);
        int gy = static_cast<int>(static_cast<long long>(y - placed.y) * placed.frame->height() / placed.height);
        if (host_.click(*placed.gauge, gx, gy)) return true;
    }
    return false;
}

int Panel::width() const {
    if (width_) return *width_;
    int right = background_ ? background_->width : 1;
    for (const auto& placed : gauges_) right = std::max(right, placed.x + placed.width);
    return right;
}

int Panel::height() const {
    if (height_) return *height_;
    int bottom = background_ ? background_->height : 1;
    for (const auto& placed : gauges_) bottom = std::max(bottom, placed.y + placed.height);
    return bottom;
}

}  // namespace host
