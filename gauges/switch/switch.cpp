// Vantle2: a two-position toggle switch, 20 by 26 pixels, with a click.
//
// Each click flips the lever picture, sends key event 0x10173 and plays the
// module's own "KLICK" sound through the resource sound player. The lever's
// position lives in the module alone: the lever picture shows its own
// variable's value, which only the mouse handler writes.
#include <windows.h>

#include "module_exports.h"
#include "resource_sound.h"
#include "standard_gauge.h"

extern GaugeHeader switch_header;
extern IconElement switch_lever;

// ---------------------------------------------------------------------------
// Module-wide values, zero when the module is loaded.
// ---------------------------------------------------------------------------
HINSTANCE module_instance;       // written by the DLL entry
HWND panel_window;               // active when the gauge was last installed
char module_file_name[255];      // this module's full file name
int click_slot;                  // the click's sound slot; 0 before the first install

// Replaces the frame's entry: this module keeps its instance handle, to find
// its own file and the click resource in it. Windows passes the same handle
// on every call, whatever the reason.
extern "C" BOOL WINAPI module_dll_entry(HINSTANCE instance, DWORD, LPVOID) {
    module_instance = instance;
    return TRUE;
}

// ---------------------------------------------------------------------------
// The click: lever value 0, 1, 0, 1, ...; the same event either way.
// ---------------------------------------------------------------------------
uint32_t PANEL_CALL switch_mouse_handler(uint32_t, uint32_t) {
    double& lever = switch_lever.source.value.number;
    lever += 1.0;
    if (lever == 2.0) lever = 0.0;
    panel::send_key_event(key_toggle_switch, 0);
    play_sound_slot(click_slot, 0);
    return 1;
}

// ---------------------------------------------------------------------------
// Elements, in tree order.
// ---------------------------------------------------------------------------
// Picture 0 (bitmap 0x2000) lever down, picture 1 (0x2003) lever up. Token
// 0 and no value callback: the host shows the picture that source.value
// selects.
IconElement switch_lever = {
    .header =
        {
            .element_kind = element_icon,
            .resource_id = 0x2000,
            .position_x = 0,
            .position_y = 0,
            .gauge_header = &switch_header,
            .next_elements = 0,
            .failure_list = 0,
            .image_flags = 7,
        },
    .source = {.token = token_none, .value = {.number = 0.0}},
    .value_callback = 0,
    .picture_count = 2,
};

ElementHeader* switch_background_children[] = {
    &switch_lever.header,
    0,
};

StaticImageElement switch_background = {
    .header =
        {
            .element_kind = element_static_image,
            .resource_id = 0x1000,
            .position_x = 0,
            .position_y = 0,
            .gauge_header = &switch_header,
            .next_elements = switch_background_children,
            .failure_list = 0,
            .image_flags = 5,
        },
};

// ---------------------------------------------------------------------------
// Mouse list: one area over the whole switch; its handler sends the event.
// ---------------------------------------------------------------------------
MouseRect switch_mouse_rects[] = {
    {.rect_kind = mouse_group_start, .cursor = no_cursor},
    {.rect_kind = mouse_area,
     .area_x = 0,
     .area_y = 0,
     .area_width = 20,
     .area_height = 26,
     .cursor = 5,
     .help_id = 0,
     .mouse_flags = 0x20000000,
     .event_id = 0,
     .handler = switch_mouse_handler},
    {.rect_kind = mouse_group_end, .cursor = no_cursor},
    {.rect_kind = mouse_list_end, .cursor = no_cursor},
};

ElementHeader* switch_element_list[] = {
    &switch_background.header,
    0,
};

// ---------------------------------------------------------------------------
// Install and kill: the standard bodies with the click around them.
// ---------------------------------------------------------------------------
typedef StandardGauge<switch_header, switch_mouse_rects> switch_routines;

// Every install loads the click afresh, into a new slot.
void PANEL_CALL switch_install(uint32_t host_value) {
    if (!panel::services_ready()) return;
    switch_routines::install(host_value);
    panel_window = GetActiveWindow();
    GetModuleFileNameA(module_instance, module_file_name, sizeof module_file_name);
    // A name that does not fit is cut short without its zero.
    module_file_name[sizeof module_file_name - 1] = 0;
    click_slot = load_resource_sound(panel_window, module_file_name, "KLICK");
}

void PANEL_CALL switch_kill() {
    if (!panel::services_ready()) return;
    release_sound_slot(click_slot);
    switch_routines::kill();
}

// ---------------------------------------------------------------------------
// Header and exports.
// ---------------------------------------------------------------------------
GaugeHeader switch_header = {
    .header_version = gauge_header_version,
    .gauge_name = "Vantle2",
    .element_list = switch_element_list,
    .gauge_query = switch_routines::query,
    .gauge_install = switch_install,
    .gauge_initialize = switch_routines::initialize,
    .gauge_update = switch_routines::update,
    .gauge_generate = switch_routines::generate,
    .gauge_draw = switch_routines::draw,
    .gauge_kill = switch_kill,
    .nominal_size = 100,
};

// Declared with C linkage in module_exports.h, exported by the .def file.
ModuleLinkage Linkage = {
    .linkage_id = linkage_id_value,
    .module_start = module_start,
    .module_stop = module_stop,
    .gauge_table = {&switch_header, 0},
};
