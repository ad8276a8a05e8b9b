// The standard bodies of the seven gauge routines.
//
// Each routine forwards to the host's element or mouse-area services. A
// gauge names StandardGauge<its header, its mouse list>::install and the
// others in its GaugeHeader; where it adds steps of its own it writes a
// routine that does them and calls the standard body, in one of three
// places:
//   - binding or refreshing its module-level variables, and acting on them,
//     comes before the body (before install_elements, initialize_elements,
//     update_elements);
//   - set-up of its own comes after the body of gauge_install;
//   - clean-up of its own comes before the body of gauge_kill.
//
// Every routine does nothing while the host has not yet filled ImportTable.
#pragma once

#include "panel_services.h"

template <GaugeHeader& gauge, auto& mouse_rects>
struct StandardGauge {
    // The root element, read from the header's element list at each call.
    static ElementHeader* root() { return gauge.element_list[0]; }

    static void PANEL_CALL query() {
        if (!panel::services_ready()) return;
        panel::query_elements(root());
    }

    static void PANEL_CALL install(uint32_t host_value) {
        if (!panel::services_ready()) return;
        ElementHeader* background = root();
        panel::install_elements(background, host_value);
        // The host has just put the address of the background's image record
        // into the first image slot; the mouse list is installed against
        // that address plus 4.
        uint32_t image = reinterpret_cast<StaticImageElement*>(background)->image_slots[0] + 4;
        panel::install_mouse_rects(mouse_rects, &gauge, image);
        panel::register_mouse_rects(mouse_rects, &gauge);
    }

    static void PANEL_CALL initialize() {
        if (!panel::services_ready()) return;
        panel::initialize_elements(root());
    }

    static void PANEL_CALL update() {
        if (!panel::services_ready()) return;
        panel::update_elements(root());
    }

    static void PANEL_CALL generate(uint32_t host_value) {
        if (!panel::services_ready()) return;
        panel::generate_elements(root(), host_value);
    }

    static void PANEL_CALL draw() {
        if (!panel::services_ready()) return;
        panel::plot_elements(root());
    }

    static void PANEL_CALL kill() {
        if (!panel::services_ready()) return;
        panel::unregister_mouse_rects(mouse_rects, &gauge);
        panel::kill_elements(root());
    }
};
