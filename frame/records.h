// The records a gauge module hands to the panel host, byte for byte.
//
// Every record here is read by the host in place, so each field keeps its
// width and offset, reserved words included. Records are packed to 4 bytes:
// a double may start at an offset that is a multiple of 4 but not of 8.
// Fields marked "host" are declared zero and filled by the host between
// gauge_install and gauge_kill; the module reads them only where noted.
#pragma once

#include <stddef.h>
#include <stdint.h>

#if defined(_MSC_VER) || defined(__i386__)
#define PANEL_CALL __stdcall
#else
#define PANEL_CALL
#endif

#pragma pack(push, 4)

struct ModuleVar;
struct GaugeHeader;

// ---------------------------------------------------------------------------
// Routine kinds the records name and the host calls.
// ---------------------------------------------------------------------------
typedef double(PANEL_CALL* ValueCallback)(ModuleVar* var);
typedef double(PANEL_CALL* StringCallback)(double value);
typedef uint32_t(PANEL_CALL* MouseHandler)(uint32_t arg1, uint32_t arg2);
typedef void(PANEL_CALL* ModuleRoutine)();
typedef void(PANEL_CALL* GaugeRoutine)();
typedef void(PANEL_CALL* GaugeRoutineWithValue)(uint32_t host_value);

// ---------------------------------------------------------------------------
// Element kinds and flags.
// ---------------------------------------------------------------------------
enum ElementKind : uint32_t {
    element_static_image = 0,
    element_needle = 1,
    element_string = 2,
    element_icon = 4,
};

// While set, the host does not show the element.
constexpr uint32_t image_flag_hidden = 0x40000000;

constexpr uint32_t no_resource = 0xFFFFFFFF;

// ---------------------------------------------------------------------------
// ModuleVar: the module's reference to one host variable.
// ---------------------------------------------------------------------------
struct ModuleVar {
    uint32_t token;        // host's variable number; 0 for none
    uint32_t var_pointer;  // host
    uint32_t value_type;   // host
    union {                // host; the gauge writes it only where token is 0
        double number;     // dial and lamp tokens
        uint32_t word;     // frequency-word tokens: the first four bytes
    } value;
    double previous_value;  // host
};
static_assert(sizeof(ModuleVar) == 28, "ModuleVar is 28 bytes");
static_assert(offsetof(ModuleVar, token) == 0, "ModuleVar.token");
static_assert(offsetof(ModuleVar, var_pointer) == 4, "ModuleVar.var_pointer");
static_assert(offsetof(ModuleVar, value_type) == 8, "ModuleVar.value_type");
static_assert(offsetof(ModuleVar, value) == 12, "ModuleVar.value");
static_assert(offsetof(ModuleVar, previous_value) == 20, "ModuleVar.previous_value");

// ---------------------------------------------------------------------------
// FailureRecord: lists end with failure_key 0.
// ---------------------------------------------------------------------------
struct FailureRecord {
    uint32_t failure_key;
    uint32_t failure_action;
    uint32_t reserved;
};
static_assert(sizeof(FailureRecord) == 12, "FailureRecord is 12 bytes");
static_assert(offsetof(FailureRecord, failure_action) == 4, "FailureRecord.failure_action");

// ---------------------------------------------------------------------------
// NonlinearityPoint: one mark of a needle's scale table.
// ---------------------------------------------------------------------------
struct NonlinearityPoint {
    int32_t point_x;
    int32_t point_y;
    double scale_value;
    double point_angle;  // 0.0 as declared; the host's
};
static_assert(sizeof(NonlinearityPoint) == 24, "NonlinearityPoint is 24 bytes");
static_assert(offsetof(NonlinearityPoint, point_y) == 4, "NonlinearityPoint.point_y");
static_assert(offsetof(NonlinearityPoint, scale_value) == 8, "NonlinearityPoint.scale_value");
static_assert(offsetof(NonlinearityPoint, point_angle) == 16, "NonlinearityPoint.point_angle");

// ---------------------------------------------------------------------------
// ElementHeader: the first 60 bytes of every element record.
// ---------------------------------------------------------------------------
struct ElementHeader {
    uint32_t element_kind;
    uint32_t resource_id;  // bitmap number, or no_resource
    int32_t position_x;    // on the gauge, from the background's left edge
    int32_t position_y;
    uint32_t reserved_16;  // host
    uint32_t reserved_20;  // host
    int32_t origin_x;      // point of the element's bitmap placed at the position
    int32_t origin_y;
    GaugeHeader* gauge_header;
    void* reserved_36;  // host
    ElementHeader** next_elements;  // NULL-terminated, or NULL
    FailureRecord* failure_list;    // or NULL
    uint32_t image_flags;
    uint32_t reserved_52;  // host
    uint32_t reserved_56;  // host
};
static_assert(sizeof(void*) == 4, "gauge records are 32-bit");
static_assert(sizeof(ElementHeader) == 60, "ElementHeader is 60 bytes");
static_assert(offsetof(ElementHeader, resource_id) == 4, "ElementHeader.resource_id");
static_assert(offsetof(ElementHeader, position_x) == 8, "ElementHeader.position_x");
static_assert(offsetof(ElementHeader, position_y) == 12, "ElementHeader.position_y");
static_assert(offsetof(ElementHeader, origin_x) == 24, "ElementHeader.origin_x");
static_assert(offsetof(ElementHeader, origin_y) == 28, "ElementHeader.origin_y");
static_assert(offsetof(ElementHeader, gauge_header) == 32, "ElementHeader.gauge_header");
static_assert(offsetof(ElementHeader, next_elements) == 40, "ElementHeader.next_elements");
static_assert(offsetof(ElementHeader, failure_list) == 44, "ElementHeader.failure_list");
static_assert(offsetof(ElementHeader, image_flags) == 48, "ElementHeader.image_flags");
static_assert(offsetof(ElementHeader, reserved_56) == 56, "ElementHeader.reserved_56");

// ---------------------------------------------------------------------------
// StaticImageElement (kind 0).
// ---------------------------------------------------------------------------
struct StaticImageElement {
    ElementHeader header;
    // host; after install_elements the first word holds the address of the
    // host's image record of the element's bitmap.
    uint32_t image_slots[5];
};
static_assert(sizeof(StaticImageElement) == 80, "StaticImageElement is 80 bytes");
static_assert(offsetof(StaticImageElement, image_slots) == 60, "StaticImageElement.image_slots");

// ---------------------------------------------------------------------------
// NeedleElement (kind 1): a bitmap turned about its pivot (origin).
// ---------------------------------------------------------------------------
struct NeedleElement {
    ElementHeader header;
    ModuleVar source;
    ValueCallback value_callback;
    uint32_t reserved_92[3];  // host
    int32_t scale_anchor_x;   // equal to the first scale point
    int32_t scale_anchor_y;
    NonlinearityPoint* scale;
    uint32_t scale_count;
    int32_t reserved_120;      // host
    uint32_t reserved_124[25];  // host
};
static_assert(sizeof(NeedleElement) == 224, "NeedleElement is 224 bytes");
static_assert(offsetof(NeedleElement, source) == 60, "NeedleElement.source");
static_assert(offsetof(NeedleElement, source) + offsetof(ModuleVar, value) == 72,
              "NeedleElement.source.value");
static_assert(offsetof(NeedleElement, value_callback) == 88, "NeedleElement.value_callback");
static_assert(offsetof(NeedleElement, scale_anchor_x) == 104, "NeedleElement.scale_anchor_x");
static_assert(offsetof(NeedleElement, scale_anchor_y) == 108, "NeedleElement.scale_anchor_y");
static_assert(offsetof(NeedleElement, scale) == 112, "NeedleElement.scale");
static_assert(offsetof(NeedleElement, scale_count) == 116, "NeedleElement.scale_count");
static_assert(offsetof(NeedleElement, reserved_120) == 120, "NeedleElement.reserved_120");
static_assert(offsetof(NeedleElement, reserved_124) == 124, "NeedleElement.reserved_124");

// ---------------------------------------------------------------------------
// StringElement (kind 2): text drawn by the host, built by the string callback.
// ---------------------------------------------------------------------------
struct StringElement {
    ElementHeader header;
    ModuleVar sources[3];
    double saved_values[3];           // host
    ValueCallback source_callbacks[3];  // NULL where a source is unused
    StringCallback string_callback;
    char* text;             // host: the element's text buffer
    uint32_t reserved_188;  // host
    int32_t box_width;
    int32_t box_height;
    uint32_t reserved_200[2];  // host
    uint32_t text_colour;        // 0x00BBGGRR
    uint32_t background_colour;  // 0x00BBGGRR
    uint32_t highlight_colour;   // 0x00BBGGRR
    uint32_t reserved_220[7];    // host
    char font_name[32];          // zero-terminated, zero-filled
    uint32_t font_weight;
    uint32_t font_charset;
    uint32_t text_format;  // DrawText flags
    uint32_t max_chars;    // without the terminating zero
    uint32_t reserved_296[4];  // host
};
static_assert(sizeof(StringElement) == 312, "StringElement is 312 bytes");
static_assert(offsetof(StringElement, sources) == 60, "StringElement.sources");
static_assert(offsetof(StringElement, saved_values) == 144, "StringElement.saved_values");
static_assert(offsetof(StringElement, source_callbacks) == 168, "StringElement.source_callbacks");
static_assert(offsetof(StringElement, string_callback) == 180, "StringElement.string_callback");
static_assert(offsetof(StringElement, text) == 184, "StringElement.text");
static_assert(offsetof(StringElement, reserved_188) == 188, "StringElement.reserved_188");
static_assert(offsetof(StringElement, box_width) == 192, "StringElement.box_width");
static_assert(offsetof(StringElement, box_height) == 196, "StringElement.box_height");
static_assert(offsetof(StringElement, text_colour) == 208, "StringElement.text_colour");
static_assert(offsetof(StringElement, background_colour) == 212, "StringElement.background_colour");
static_assert(offsetof(StringElement, highlight_colour) == 216, "StringElement.highlight_colour");
static_assert(offsetof(StringElement, font_name) == 248, "StringElement.font_name");
static_assert(offsetof(StringElement, font_weight) == 280, "StringElement.font_weight");
static_assert(offsetof(StringElement, font_charset) == 284, "StringElement.font_charset");
static_assert(offsetof(StringElement, text_format) == 288, "StringElement.text_format");
static_assert(offsetof(StringElement, max_chars) == 292, "StringElement.max_chars");
static_assert(offsetof(StringElement, reserved_296) == 296, "StringElement.reserved_296");

// ---------------------------------------------------------------------------
// IconElement (kind 4): picture i is bitmap resource_id + 3 * i.
// ---------------------------------------------------------------------------
struct IconElement {
    ElementHeader header;
    ModuleVar source;
    ValueCallback value_callback;  // NULL: the source's own value selects
    uint32_t reserved_92[5];       // host
    uint32_t picture_count;
    uint32_t reserved_116[5];  // host
};
static_assert(sizeof(IconElement) == 136, "IconElement is 136 bytes");
static_assert(offsetof(IconElement, source) == 60, "IconElement.source");
static_assert(offsetof(IconElement, value_callback) == 88, "IconElement.value_callback");
static_assert(offsetof(IconElement, picture_count) == 112, "IconElement.picture_count");
static_assert(offsetof(IconElement, reserved_116) == 116, "IconElement.reserved_116");

constexpr uint32_t icon_picture_step = 3;

// ---------------------------------------------------------------------------
// MouseRect: one entry of a gauge's mouse list.
// ---------------------------------------------------------------------------
enum MouseRectKind : uint32_t {
    mouse_list_end = 0,
    mouse_group_start = 1,
    mouse_area = 2,
    mouse_group_end = 3,
};

constexpr int32_t no_cursor = -1;

struct MouseRect {
    uint32_t rect_kind;
    int32_t area_x;
    int32_t area_y;
    int32_t area_width;
    int32_t area_height;
    int32_t cursor;  // no_cursor for none
    uint32_t help_id;
    uint32_t mouse_flags;
    uint32_t event_id;  // a key event the host sends by itself; 0 for none
    MouseHandler handler;
    uint32_t reserved;
};
static_assert(sizeof(MouseRect) == 44, "MouseRect is 44 bytes");
static_assert(offsetof(MouseRect, area_x) == 4, "MouseRect.area_x");
static_assert(offsetof(MouseRect, area_y) == 8, "MouseRect.area_y");
static_assert(offsetof(MouseRect, area_width) == 12, "MouseRect.area_width");
static_assert(offsetof(MouseRect, area_height) == 16, "MouseRect.area_height");
static_assert(offsetof(MouseRect, cursor) == 20, "MouseRect.cursor");
static_assert(offsetof(MouseRect, help_id) == 24, "MouseRect.help_id");
static_assert(offsetof(MouseRect, mouse_flags) == 28, "MouseRect.mouse_flags");
static_assert(offsetof(MouseRect, event_id) == 32, "MouseRect.event_id");
static_assert(offsetof(MouseRect, handler) == 36, "MouseRect.handler");
static_assert(offsetof(MouseRect, reserved) == 40, "MouseRect.reserved");

// ---------------------------------------------------------------------------
// GaugeHeader: the gauge descriptor, 22 words.
// ---------------------------------------------------------------------------
constexpr uint32_t gauge_header_version = 0x262;

struct GaugeHeader {
    uint32_t header_version;
    const char* gauge_name;  // the module's file name without ".gau"
    ElementHeader** element_list;  // NULL-terminated; the root first
    GaugeRoutine gauge_query;
    GaugeRoutineWithValue gauge_install;
    GaugeRoutine gauge_initialize;
    GaugeRoutine gauge_update;
    GaugeRoutineWithValue gauge_generate;
    GaugeRoutine gauge_draw;
    GaugeRoutine gauge_kill;
    uint32_t reserved_10;
    uint32_t nominal_size;  // in the host's unit
    uint32_t reserved_12[10];
};
static_assert(sizeof(GaugeHeader) == 88, "GaugeHeader is 22 words");
static_assert(offsetof(GaugeHeader, gauge_name) == 4, "GaugeHeader.gauge_name");
static_assert(offsetof(GaugeHeader, element_list) == 8, "GaugeHeader.element_list");
static_assert(offsetof(GaugeHeader, gauge_query) == 12, "GaugeHeader.gauge_query");
static_assert(offsetof(GaugeHeader, gauge_install) == 16, "GaugeHeader.gauge_install");
static_assert(offsetof(GaugeHeader, gauge_initialize) == 20, "GaugeHeader.gauge_initialize");
static_assert(offsetof(GaugeHeader, gauge_update) == 24, "GaugeHeader.gauge_update");
static_assert(offsetof(GaugeHeader, gauge_generate) == 28, "GaugeHeader.gauge_generate");
static_assert(offsetof(GaugeHeader, gauge_draw) == 32, "GaugeHeader.gauge_draw");
static_assert(offsetof(GaugeHeader, gauge_kill) == 36, "GaugeHeader.gauge_kill");
static_assert(offsetof(GaugeHeader, nominal_size) == 44, "GaugeHeader.nominal_size");
static_assert(offsetof(GaugeHeader, reserved_12) == 48, "GaugeHeader.reserved_12");

// ---------------------------------------------------------------------------
// The two exports.
// ---------------------------------------------------------------------------
constexpr uint32_t linkage_id_value = 0x13;

struct ModuleLinkage {
    uint32_t linkage_id;
    ModuleRoutine module_start;
    ModuleRoutine module_stop;
    uint32_t reserved[3];
    GaugeHeader* gauge_table[2];  // one header, then NULL
};
static_assert(sizeof(ModuleLinkage) == 32, "Linkage is 8 words");
static_assert(offsetof(ModuleLinkage, module_start) == 4, "Linkage.module_start");
static_assert(offsetof(ModuleLinkage, module_stop) == 8, "Linkage.module_stop");
static_assert(offsetof(ModuleLinkage, gauge_table) == 24, "Linkage.gauge_table");

constexpr uint32_t panel_services_import_id = 0x0F;

struct ImportEntry {
    uint32_t import_id;
    void* import_pointer;  // entry 0: the host's PanelServices table
};
static_assert(sizeof(ImportEntry) == 8, "ImportTable entries are two words");

#pragma pack(pop)
