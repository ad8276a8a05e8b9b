// Taps on the host's service table: each notes the service in the stand-in
// DirectSound's log, then hands the call to the host's own routine. The log
// then shows the host services and the sound calls in one order.
#pragma once

#include <cstdint>
#include <string>

#include "panel_services.h"
#include "stand_in.h"

namespace sound_test {

class ServiceTaps {
public:
    static void attach(PanelServices& table) {
        originals() = table;
        set<service_query_elements>(table, "query_elements", &element_tap<service_query_elements>);
        set<service_initialize_elements>(table, "initialize_elements", &element_tap<service_initialize_elements>);
        set<service_update_elements>(table, "update_elements", &element_tap<service_update_elements>);
        set<service_plot_elements>(table, "plot_elements", &element_tap<service_plot_elements>);
        set<service_kill_elements>(table, "kill_elements", &element_tap<service_kill_elements>);
        set<service_install_elements>(table, "install_elements", &element_value_tap<service_install_elements>);
        set<service_generate_elements>(table, "generate_elements", &element_value_tap<service_generate_elements>);
        set<service_install_mouse_rects>(table, "install_mouse_rects", &install_mouse_tap);
        set<service_register_mouse_rects>(table, "register_mouse_rects", &mouse_tap<service_register_mouse_rects>);
        set<service_unregister_mouse_rects>(table, "unregister_mouse_rects",
                                            &mouse_tap<service_unregister_mouse_rects>);
        set<service_send_key_event>(table, "send_key_event", &key_event_tap);
    }

private:
    static PanelServices& originals() {
        static PanelServices table;
        return table;
    }
    template <PanelServiceIndex index>
    static const char*& name() {
        static const char* text = "";
        return text;
    }
    template <PanelServiceIndex index, typename Tap>
    static void set(PanelServices& table, const char* service_name, Tap tap) {
        name<index>() = service_name;
        table.entries[index] = reinterpret_cast<void*>(tap);
    }
    template <PanelServiceIndex index, typename Service>
    static Service original() {
        StandIn::get().note(std::string("service ") + name<index>());
        return reinterpret_cast<Service>(originals().entries[index]);
    }

    template <PanelServiceIndex index>
    static void PANEL_CALL element_tap(ElementHeader* root) {
        original<index, ElementService>()(root);
    }
    template <PanelServiceIndex index>
    static void PANEL_CALL element_value_tap(ElementHeader* root, std::uint32_t value) {
        original<index, ElementServiceWithValue>()(root, value);
    }
    static void PANEL_CALL install_mouse_tap(MouseRect* list, GaugeHeader* gauge, std::uint32_t image) {
        original<service_install_mouse_rects, InstallMouseRectsService>()(list, gauge, image);
    }
    template <PanelServiceIndex index>
    static void PANEL_CALL mouse_tap(MouseRect* list, GaugeHeader* gauge) {
        original<index, MouseRectsService>()(list, gauge);
    }
    static void PANEL_CALL key_event_tap(std::uint32_t event_id, std::uint32_t value) {
        original<service_send_key_event, SendKeyEventService>()(event_id, value);
    }
};

}  // namespace sound_test
