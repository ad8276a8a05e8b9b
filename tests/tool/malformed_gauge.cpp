// Gauge modules with one fault each, for the panelhost tool's check
// command. The fault is chosen when the module is built:
//   MALFORMED_LINKAGE_ID  Linkage carries the wrong linkage_id
//   MALFORMED_CYCLE       the needle names the background as its child
//   MALFORMED_ENDLESS     the background's list of children has no NULL
//   MALFORMED_OUTSIDE     the element list names an address outside the image
//   MALFORMED_KIND        the needle's element_kind is 3, a kind no host knows
#include "module_exports.h"
#include "standard_gauge.h"

extern GaugeHeader malformed_header;
extern StaticImageElement malformed_background;

double PANEL_CALL malformed_value(ModuleVar* var) { return var->value.number; }

NonlinearityPoint malformed_scale[] = {
    {.point_x = 0, .point_y = 10, .scale_value = 0.0},
    {.point_x = 20, .point_y = 10, .scale_value = 10.0},
};

#ifdef MALFORMED_CYCLE
ElementHeader* malformed_needle_children[] = {&malformed_background.header, 0};
#define NEEDLE_CHILDREN malformed_needle_children
#else
#define NEEDLE_CHILDREN 0
#endif

#ifdef MALFORMED_KIND
#define NEEDLE_KIND 3
#else
#define NEEDLE_KIND element_needle
#endif

NeedleElement malformed_needle = {
    .header = {.element_kind = NEEDLE_KIND, .resource_id = 0x2100, .position_x = 10, .position_y = 13,
               .origin_x = 29, .origin_y = 9, .gauge_header = &malformed_header, .next_elements = NEEDLE_CHILDREN,
               .image_flags = 3},
    .source = {.token = 0x3D},
    .value_callback = malformed_value,
    .scale_anchor_x = 0,
    .scale_anchor_y = 10,
    .scale = malformed_scale,
    .scale_count = 2,
};

#ifdef MALFORMED_ENDLESS
// Eighty entries and no NULL: more than any list the host reads.
#define TEN &malformed_needle.header, &malformed_needle.header, &malformed_needle.header, &malformed_needle.header, \
            &malformed_needle.header, &malformed_needle.header, &malformed_needle.header, &malformed_needle.header, \
            &malformed_needle.header, &malformed_needle.header
ElementHeader* malformed_children[] = {TEN, TEN, TEN, TEN, TEN, TEN, TEN, TEN};
#else
ElementHeader* malformed_children[] = {&malformed_needle.header, 0};
#endif

StaticImageElement malformed_background = {
    .header = {.element_kind = element_static_image, .resource_id = 0x1000, .gauge_header = &malformed_header,
               .next_elements = malformed_children, .image_flags = 1},
};

MouseRect malformed_mouse_rects[] = {
    {.rect_kind = mouse_group_start, .cursor = no_cursor},
    {.rect_kind = mouse_group_end, .cursor = no_cursor},
    {.rect_kind = mouse_list_end, .cursor = no_cursor},
};

#ifdef MALFORMED_OUTSIDE
ElementHeader* malformed_element_list[] = {reinterpret_cast<ElementHeader*>(0x100), 0};
#else
ElementHeader* malformed_element_list[] = {&malformed_background.header, 0};
#endif

typedef StandardGauge<malformed_header, malformed_mouse_rects> malformed_routines;

GaugeHeader malformed_header = {
    .header_version = gauge_header_version,
    .gauge_name = "malformed_gauge",
    .element_list = malformed_element_list,
    .gauge_query = malformed_routines::query,
    .gauge_install = malformed_routines::install,
    .gauge_initialize = malformed_routines::initialize,
    .gauge_update = malformed_routines::update,
    .gauge_generate = malformed_routines::generate,
    .gauge_draw = malformed_routines::draw,
    .gauge_kill = malformed_routines::kill,
    .nominal_size = 20,
};

ModuleLinkage Linkage = {
#ifdef MALFORMED_LINKAGE_ID
    .linkage_id = linkage_id_value + 1,
#else
    .linkage_id = linkage_id_value,
#endif
    .module_start = module_start,
    .module_stop = module_stop,
    .gauge_table = {&malformed_header, 0},
};
