// Tovik_Barrik.radtemp.1: radiator (coolant) temperature dial, 0 to 160 °C.
//
// A face and one needle that follows host variable 0x92. Its
// gauge_initialize binds two further host variables before the standard
// body; nothing of the gauge reads them afterwards.
#include "module_exports.h"
#include "standard_gauge.h"

extern GaugeHeader radtemp_header;

// ---------------------------------------------------------------------------
// Needle value: °C from the variable, held within the dial.
// ---------------------------------------------------------------------------
double PANEL_CALL radtemp_needle_value(ModuleVar* var) {
    double temperature = var->value.number * 0.1 + 40.0;
    if (temperature > 160.0) return 160.0;
    if (temperature < 0.0 || temperature != temperature) return 0.0;
    return temperature;
}

// ---------------------------------------------------------------------------
// Module-level variables, bound at every initialize.
// ---------------------------------------------------------------------------
ModuleVar radtemp_var_128 = {.token = token_radtemp_bound_a};
ModuleVar radtemp_var_136 = {.token = token_radtemp_bound_b};

// ---------------------------------------------------------------------------
// Elements, in tree order.
// ---------------------------------------------------------------------------
FailureRecord radtemp_failures[] = {
    {.failure_key = 2, .failure_action = 2},
    {.failure_key = 0},
};

// The outer ends of the face's long marks, seen from the pivot (151, 252).
NonlinearityPoint radtemp_scale[] = {
    {.point_x = 65, .point_y = 68, .scale_value = 0.0},
    {.point_x = 151, .point_y = 50, .scale_value = 80.0},
    {.point_x = 236, .point_y = 68, .scale_value = 160.0},
};

NeedleElement radtemp_needle = {
    .header =
        {
            .element_kind = element_needle,
            .resource_id = 0x2000,
            .position_x = 151,  // the pivot on the face
            .position_y = 252,
            .origin_x = 0,  // the pivot on the needle bitmap
            .origin_y = 5,
            .gauge_header = &radtemp_header,
            .next_elements = 0,
            .failure_list = radtemp_failures,
            .image_flags = 3,
        },
    .source = {.token = token_radiator_temperature},
    .value_callback = radtemp_needle_value,
    .scale_anchor_x = 65,
    .scale_anchor_y = 68,
    .scale = radtemp_scale,
    .scale_count = sizeof radtemp_scale / sizeof radtemp_scale[0],
};

ElementHeader* radtemp_background_children[] = {
    &radtemp_needle.header,
    0,
};

StaticImageElement radtemp_background = {
    .header =
        {
            .element_kind = element_static_image,
            .resource_id = 0x1000,
            .position_x = 0,
            .position_y = 0,
            .gauge_header = &radtemp_header,
            .next_elements = radtemp_background_children,
            .failure_list = 0,
            .image_flags = 1,
        },
};

// ---------------------------------------------------------------------------
// Mouse list: no clickable area.
// ---------------------------------------------------------------------------
MouseRect radtemp_mouse_rects[] = {
    {.rect_kind = mouse_group_start, .cursor = no_cursor, .help_id = 0},
    {.rect_kind = mouse_group_end, .cursor = no_cursor},
    {.rect_kind = mouse_list_end, .cursor = no_cursor},
};

// ---------------------------------------------------------------------------
// Header and exports.
// ---------------------------------------------------------------------------
ElementHeader* radtemp_element_list[] = {
    &radtemp_background.header,
    0,
};

typedef StandardGauge<radtemp_header, radtemp_mouse_rects> radtemp_routines;

// Binds both module-level variables, 0x80 first, before the standard body.
void PANEL_CALL radtemp_initialize() {
    if (!panel::services_ready()) return;
    panel::init_module_var(&radtemp_var_128);
    panel::init_module_var(&radtemp_var_136);
    radtemp_routines::initialize();
}

GaugeHeader radtemp_header = {
    .header_version = gauge_header_version,
    .gauge_name = "Tovik_Barrik.radtemp.1",
    .element_list = radtemp_element_list,
    .gauge_query = radtemp_routines::query,
    .gauge_install = radtemp_routines::install,
    .gauge_initialize = radtemp_initialize,
    .gauge_update = radtemp_routines::update,
    .gauge_generate = radtemp_routines::generate,
    .gauge_draw = radtemp_routines::draw,
    .gauge_kill = radtemp_routines::kill,
    .nominal_size = 303,
};

// Declared with C linkage in module_exports.h, exported by the .def file.
ModuleLinkage Linkage = {
    .linkage_id = linkage_id_value,
    .module_start = module_start,
    .module_stop = module_stop,
    .gauge_table = {&radtemp_header, 0},
};
