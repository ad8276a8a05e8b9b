// Tovik.Barrik.airspeed: airspeed dial, 0 to 450 km/h on a non-linear scale.
//
// A face and one needle that follows host variable 0x3D. The gauge's only
// logic of its own is the needle's value callback; its routines are the
// standard ones.
#include "module_exports.h"
#include "standard_gauge.h"

extern GaugeHeader airspeed_header;

// ---------------------------------------------------------------------------
// Needle value: km/h from the variable, held within the dial.
// ---------------------------------------------------------------------------
double PANEL_CALL airspeed_needle_value(ModuleVar* var) {
    double speed = var->value.number * 1.85;
    if (speed > 450.0) return 450.0;
    if (speed < 0.0 || speed != speed) return 0.0;
    return speed;
}

// ---------------------------------------------------------------------------
// Elements, in tree order.
// ---------------------------------------------------------------------------
FailureRecord airspeed_failures[] = {
    {.failure_key = 6, .failure_action = 2},
    {.failure_key = 0},
};

// The outer ends of the face's long marks, seen from the pivot (151, 148).
NonlinearityPoint airspeed_scale[] = {
    {.point_x = 123, .point_y = 266, .scale_value = 0.0},
    {.point_x = 30, .point_y = 152, .scale_value = 100.0},
    {.point_x = 85, .point_y = 51, .scale_value = 150.0},
    {.point_x = 150, .point_y = 33, .scale_value = 200.0},
    {.point_x = 217, .point_y = 55, .scale_value = 250.0},
    {.point_x = 260, .point_y = 109, .scale_value = 300.0},
    {.point_x = 235, .point_y = 236, .scale_value = 400.0},  // outer end of the 400 mark
    {.point_x = 174, .point_y = 268, .scale_value = 450.0},
};

NeedleElement airspeed_needle = {
    .header =
        {
            .element_kind = element_needle,
            .resource_id = 0x2000,
            .position_x = 151,  // the pivot on the face
            .position_y = 148,
            .origin_x = 29,  // the pivot on the needle bitmap
            .origin_y = 9,
            .gauge_header = &airspeed_header,
            .next_elements = 0,
            .failure_list = airspeed_failures,
            .image_flags = 3,
        },
    .source = {.token = token_airspeed},
    .value_callback = airspeed_needle_value,
    .scale_anchor_x = 123,
    .scale_anchor_y = 266,
    .scale = airspeed_scale,
    .scale_count = sizeof airspeed_scale / sizeof airspeed_scale[0],
};

ElementHeader* airspeed_background_children[] = {
    &airspeed_needle.header,
    0,
};

StaticImageElement airspeed_background = {
    .header =
        {
            .element_kind = element_static_image,
            .resource_id = 0x1000,
            .position_x = 0,
            .position_y = 0,
            .gauge_header = &airspeed_header,
            .next_elements = airspeed_background_children,
            .failure_list = 0,
            .image_flags = 1,
        },
};

// ---------------------------------------------------------------------------
// Mouse list: no clickable area, only the help number.
// ---------------------------------------------------------------------------
MouseRect airspeed_mouse_rects[] = {
    {.rect_kind = mouse_group_start, .cursor = no_cursor, .help_id = 0xA003},
    {.rect_kind = mouse_group_end, .cursor = no_cursor},
    {.rect_kind = mouse_list_end, .cursor = no_cursor},
};

// ---------------------------------------------------------------------------
// Header and exports.
// ---------------------------------------------------------------------------
ElementHeader* airspeed_element_list[] = {
    &airspeed_background.header,
    0,
};

typedef StandardGauge<airspeed_header, airspeed_mouse_rects> airspeed_routines;

GaugeHeader airspeed_header = {
    .header_version = gauge_header_version,
    .gauge_name = "Tovik.Barrik.airspeed",
    .element_list = airspeed_element_list,
    .gauge_query = airspeed_routines::query,
    .gauge_install = airspeed_routines::install,
    .gauge_initialize = airspeed_routines::initialize,
    .gauge_update = airspeed_routines::update,
    .gauge_generate = airspeed_routines::generate,
    .gauge_draw = airspeed_routines::draw,
    .gauge_kill = airspeed_routines::kill,
    .nominal_size = 311,
};

// Declared with C linkage in module_exports.h, exported by the .def file.
ModuleLinkage Linkage = {
    .linkage_id = linkage_id_value,
    .module_start = module_start,
    .module_stop = module_stop,
    .gauge_table = {&airspeed_header, 0},
};
