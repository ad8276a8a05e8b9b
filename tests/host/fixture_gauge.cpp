// A small module for the host's own tests: one element of every kind, a
// mouse list, and routines that misbehave on request. The tests patch its
// records in memory (they are exported by name, with a scratch area inside
// the image) to show each defect the host must find.
#include "module_exports.h"
#include "standard_gauge.h"

extern GaugeHeader fixture_header;

extern "C" {

// Writable room inside the image for lists and records the tests build.
uint32_t fixture_scratch[8192];

// What the misbehaving routines do: see fixture_update.
uint32_t fixture_behaviour;

}  // extern "C"

enum FixtureBehaviour : uint32_t {
    behave = 0,
    call_missing_service = 1,  // gauge_update calls index 23, which no host provides
    fault_in_update = 2,       // gauge_update reads address 0
};

double PANEL_CALL fixture_needle_value(ModuleVar* var) { return var->value.number; }
double PANEL_CALL fixture_text_value(ModuleVar* var) { return var->value.number; }
double PANEL_CALL fixture_text(double value) { return value; }
uint32_t PANEL_CALL fixture_click(uint32_t, uint32_t) { return 1; }

FailureRecord fixture_failures[] = {
    {.failure_key = 1, .failure_action = 0},
    {.failure_key = 0},
};

NonlinearityPoint fixture_scale[] = {
    {.point_x = 0, .point_y = 10, .scale_value = 0.0},
    {.point_x = 20, .point_y = 10, .scale_value = 10.0},
};

NeedleElement fixture_needle = {
    .header = {.element_kind = element_needle, .resource_id = 0x2100, .position_x = 10, .position_y = 13,
               .origin_x = 29, .origin_y = 9, .gauge_header = &fixture_header, .failure_list = fixture_failures,
               .image_flags = 3},
    .source = {.token = 0x3D},
    .value_callback = fixture_needle_value,
    .scale_anchor_x = 0,
    .scale_anchor_y = 10,
    .scale = fixture_scale,
    .scale_count = 2,
};

StringElement fixture_string = {
    .header = {.element_kind = element_string, .resource_id = no_resource, .position_x = 2, .position_y = 2,
               .gauge_header = &fixture_header, .image_flags = 7},
    .sources = {{.token = 0x3D}},
    .source_callbacks = {fixture_text_value},
    .string_callback = fixture_text,
    .box_width = 10,
    .box_height = 10,
    .font_name = "Courier New",
    .font_weight = 700,
    .font_charset = 1,
    .text_format = 0x25,
    .max_chars = 1,
};

IconElement fixture_icon = {
    .header = {.element_kind = element_icon, .resource_id = 0x2000, .gauge_header = &fixture_header,
               .image_flags = 7},
    .source = {.token = 0},
    .picture_count = 2,
};

ElementHeader* fixture_children[] = {&fixture_needle.header, &fixture_string.header, &fixture_icon.header, 0};

StaticImageElement fixture_background = {
    .header = {.element_kind = element_static_image, .resource_id = 0x1000, .gauge_header = &fixture_header,
               .next_elements = fixture_children, .image_flags = 1},
};

MouseRect fixture_mouse_rects[] = {
    {.rect_kind = mouse_group_start, .cursor = no_cursor},
    {.rect_kind = mouse_area, .area_x = 0, .area_y = 0, .area_width = 10, .area_height = 26, .cursor = 5,
     .mouse_flags = 0x20000000, .handler = fixture_click},
    {.rect_kind = mouse_area, .area_x = 10, .area_y = 0, .area_width = 10, .area_height = 26, .cursor = 5,
     .event_id = 0x10136},
    {.rect_kind = mouse_group_end, .cursor = no_cursor},
    {.rect_kind = mouse_list_end, .cursor = no_cursor},
};

ElementHeader* fixture_element_list[] = {&fixture_background.header, 0};

typedef StandardGauge<fixture_header, fixture_mouse_rects> fixture_routines;

typedef void(PANEL_CALL* NoArguments)();

void PANEL_CALL fixture_update() {
    if (fixture_behaviour == call_missing_service) {
        if (PanelServices* table = panel::services()) reinterpret_cast<NoArguments>(table->entries[23])();
    } else if (fixture_behaviour == fault_in_update) {
        // fixture_scratch[1] holds 0: a read through it is a read of address 0
        // that the compiler cannot see coming.
        fixture_scratch[0] = *reinterpret_cast<volatile uint32_t*>(fixture_scratch[1]);
    }
    fixture_routines::update();
}

GaugeHeader fixture_header = {
    .header_version = gauge_header_version,
    .gauge_name = "fixture_gauge",
    .element_list = fixture_element_list,
    .gauge_query = fixture_routines::query,
    .gauge_install = fixture_routines::install,
    .gauge_initialize = fixture_routines::initialize,
    .gauge_update = fixture_update,
    .gauge_generate = fixture_routines::generate,
    .gauge_draw = fixture_routines::draw,
    .gauge_kill = fixture_routines::kill,
    .nominal_size = 20,
};

ModuleLinkage Linkage = {
    .linkage_id = linkage_id_value,
    .module_start = module_start,
    .module_stop = module_stop,
    .gauge_table = {&fixture_header, 0},
};
