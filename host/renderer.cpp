#include "renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

namespace host {

namespace {

constexpr double pi = 3.14159265358979323846;

void draw_image(const ImageRecord& image, Canvas& canvas, int left, int top) {
    GdiFlush();
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!image.opaque(x, y) || !canvas.inside(left + x, top + y)) continue;
            canvas.set(left + x, top + y, image.at(x, y));
        }
    }
}

// The needle bitmap lies pointing right (90 degrees clockwise from up) with
// its pivot at the origin; the pivot's pixel centre sits on the position's
// pixel centre. Each canvas pixel takes the needle pixel under it when turned
// back (nearest pixel), so the needle keeps its colours and stays solid.
void draw_needle(const ImageRecord& image, const NeedleElement& needle, double angle, Canvas& canvas, int left,
                 int top) {
    GdiFlush();
    double turn = (angle - 90.0) * pi / 180.0;
    double c = std::cos(turn), s = std::sin(turn);
    double px = left + needle.header.position_x + 0.5, py = top + needle.header.position_y + 0.5;
    double ox = needle.header.origin_x + 0.5, oy = needle.header.origin_y + 0.5;
    double reach = 0;
    for (double cx : {0.0, static_cast<double>(image.width)})
        for (double cy : {0.0, static_cast<double>(image.height)}) reach = std::max(reach, std::hypot(cx - ox, cy - oy));
    int x0 = static_cast<int>(std::floor(px - reach)), x1 = static_cast<int>(std::ceil(px + reach));
    int y0 = static_cast<int>(std::floor(py - reach)), y1 = static_cast<int>(std::ceil(py + reach));
    for (int y = std::max(y0, 0); y <= std::min(y1, canvas.height() - 1); ++y) {
        for (int x = std::max(x0, 0); x <= std::min(x1, canvas.width() - 1); ++x) {
            double dx = x + 0.5 - px, dy = y + 0.5 - py;
            double sx = ox + dx * c + dy * s, sy = oy - dx * s + dy * c;
            if (sx < 0 || sy < 0 || sx >= image.width || sy >= image.height) continue;
            int ix = static_cast<int>(sx), iy = static_cast<int>(sy);
            if (image.opaque(ix, iy)) canvas.set(x, y, image.at(ix, iy));
        }
    }
}

int CALLBACK on_face(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found_flag) {
    *reinterpret_cast<bool*>(found_flag) = true;
    return 0;
}

bool face_exists(const char* face) {
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExA(dc, &wanted, on_face, reinterpret_cast<LPARAM>(&found), 0);
    DeleteDC(dc);
    return found;
}

// Metric-compatible stand-ins for the faces gauges name, where the declared
// face is not installed.
const char* stand_in_face(const std::string& face) {
    static const std::map<std::string, const char*> stand_ins = {
        {"Courier New", "Liberation Mono"},
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
    };
    auto it = stand_ins.find(face);
    return it == stand_ins.end() ? nullptr : it->second;
}

std::string face_to_use(const StringElement& text) {
    std::string face(text.font_name, strnlen(text.font_name, sizeof text.font_name));
    static std::map<std::string, std::string> chosen;
    auto it = chosen.find(face);
    if (it != chosen.end()) return it->second;
    std::string use = face;
    if (!face_exists(face.c_str())) {
        const char* stand_in = stand_in_face(face);
        if (stand_in && face_exists(stand_in)) use = stand_in;
    }
    chosen[face] = use;
    return use;
}

// The font of a string element: its face, weight and character set, with
// the box height as the character cell height.
HFONT make_font(const StringElement& text) {
    std::string face = face_to_use(text);
    return CreateFontA(text.box_height, 0, 0, 0, static_cast<int>(text.font_weight), FALSE, FALSE, FALSE,
                       static_cast<BYTE>(text.font_charset), OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                       NONANTIALIASED_QUALITY, DEFAULT_PITCH, face.c_str());
}

void draw_string(const StringElement& text, const std::string& characters, Canvas& canvas, int left, int top) {
    int x = left + text.header.position_x, y = top + text.header.position_y;
    canvas.fill_rect(x, y, text.box_width, text.box_height, from_colorref(text.background_colour));
    HDC dc = canvas.dc();
    HFONT font = make_font(text);
    HGDIOBJ old_font = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text.text_colour & 0xFFFFFF);
    RECT box{x, y, x + text.box_width, y + text.box_height};
    std::string shown = characters;
    // DT_CALCRECT would draw nothing and DT_MODIFYSTRING would write into
    // the text: neither is the host's to honour.
    UINT format = text.text_format & ~static_cast<UINT>(DT_CALCRECT | DT_MODIFYSTRING);
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &box, format);
    GdiFlush();
    SelectObject(dc, old_font);
    DeleteObject(font);
}

}  // namespace

GaugeSize gauge_size(const Gauge& gauge) {
    const auto& elements = gauge.elements();
    if (elements.empty() || elements.front().pictures.empty()) return {};
    const ImageRecord& background = *elements.front().pictures.front();
    return {background.width, background.height};
}

void render_element(const Gauge& gauge, const ElementState& state, Canvas& canvas, int left, int top) {
    (void)gauge;
    const ElementHeader& header = *state.record;
    switch (state.kind) {
        case element_static_image:
            if (!state.pictures.empty())
                draw_image(*state.pictures.front(), canvas, left + header.position_x - header.origin_x,
                           top + header.position_y - header.origin_y);
            break;
        case element_needle:
            if (!state.pictures.empty())
                draw_needle(*state.pictures.front(), reinterpret_cast<const NeedleElement&>(header),
                            state.needle_angle, canvas, left, top);
            break;
        case element_icon:
            if (state.picture >= 0 && static_cast<std::size_t>(state.picture) < state.pictures.size())
                draw_image(*state.pictures[state.picture], canvas, left + header.position_x - header.origin_x,
                           top + header.position_y - header.origin_y);
            break;
        case element_string:
            draw_string(reinterpret_cast<const StringElement&>(header), state.text, canvas, left, top);
            break;
        default: break;
    }
}

void render_gauge(const Gauge& gauge, Canvas& canvas, int left, int top) {
    if (!gauge.installed()) return;
    for (const auto& state : gauge.elements())
        if (state.shown) render_element(gauge, state, canvas, left, top);
    GdiFlush();
}

std::vector<AreaNote> render_mouse_areas(const Gauge& gauge, Canvas& canvas, int left, int top, double scale,
                                         int first_number) {
    std::vector<AreaNote> notes;
    if (!gauge.mouse_list()) return notes;
    int number = first_number;
    for (std::size_t i = 0; i < gauge.mouse_records(); ++i) {
        const MouseRect& rect = gauge.mouse_list()[i];
        if (rect.rect_kind != mouse_area) continue;
        // Green: a handler; orange: a key event only; yellow: both; grey: inert.
        std::uint32_t colour =
            rect.handler ? (rect.event_id ? 0xFFFF00 : 0x00FF40) : (rect.event_id ? 0xFF9000 : 0x909090);
        int x = left + static_cast<int>(std::lround(rect.area_x * scale));
        int y = top + static_cast<int>(std::lround(rect.area_y * scale));
        int w = static_cast<int>(std::lround(rect.area_width * scale));
        int h = static_cast<int>(std::lround(rect.area_height * scale));
        canvas.frame_rect(x, y, w, h, colour);
        char line[160];
        std::snprintf(line, sizeof line, "%d", number);
        canvas.label(x + 2, y + 1, line, colour);
        char action[48];
        if (rect.handler && rect.event_id)
            std::snprintf(action, sizeof action, "handler + key event 0x%lX", static_cast<unsigned long>(rect.event_id));
        else if (rect.event_id)
            std::snprintf(action, sizeof action, "key event 0x%lX", static_cast<unsigned long>(rect.event_id));
        else
            std::snprintf(action, sizeof action, "%s", rect.handler ? "handler" : "nothing");
        std::snprintf(line, sizeof line, "%2d %s (%d,%d %dx%d) cursor %d help 0x%lX: %s", number, gauge.name().c_str(),
                      static_cast<int>(rect.area_x), static_cast<int>(rect.area_y), static_cast<int>(rect.area_width),
                      static_cast<int>(rect.area_height), static_cast<int>(rect.cursor),
                      static_cast<unsigned long>(rect.help_id), action);
        notes.push_back({line, colour});
        ++number;
    }
    return notes;
}

std::string font_face_used(const StringElement& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = make_font(text);
    HGDIOBJ old_font = SelectObject(dc, font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof face, face);
    SelectObject(dc, old_font);
    DeleteObject(font);
    DeleteDC(dc);
    return face;
}

}  // namespace host
