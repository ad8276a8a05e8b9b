// The host's service table, as a module sees it, and the host codes the
// modules use.
//
// The host writes the address of its table into entry 0 of ImportTable. A
// module never keeps that address: every call reads the entry afresh and
// then the routine at the service's index. Until the host has filled the
// entry, a call does nothing.
#pragma once

#include "records.h"

// Indices into the host's table.
enum PanelServiceIndex : uint32_t {
    service_query_elements = 24,
    service_install_elements = 25,
    service_initialize_elements = 26,
    service_update_elements = 27,
    service_generate_elements = 28,
    service_plot_elements = 29,
    service_kill_elements = 31,
    service_install_mouse_rects = 32,
    service_register_mouse_rects = 33,
    service_unregister_mouse_rects = 34,
    service_send_key_event = 36,
    service_init_module_var = 38,
    service_read_module_var = 40,
};

// The table reaches at least one entry past the last index in use.
constexpr uint32_t panel_services_count = 41;

struct PanelServices {
    void* entries[panel_services_count];
};

// What each service takes. No module looks at a service's result.
typedef void(PANEL_CALL* ElementService)(ElementHeader* root);
typedef void(PANEL_CALL* ElementServiceWithValue)(ElementHeader* root, uint32_t host_value);
typedef void(PANEL_CALL* InstallMouseRectsService)(MouseRect* list, GaugeHeader* gauge,
                                                   uint32_t background_image);
typedef void(PANEL_CALL* MouseRectsService)(MouseRect* list, GaugeHeader* gauge);
typedef void(PANEL_CALL* SendKeyEventService)(uint32_t event_id, uint32_t value);
typedef void(PANEL_CALL* ModuleVarService)(ModuleVar* var);

// Key events.
enum KeyEvent : uint32_t {
    key_toggle_switch = 0x10173,  // Vantle2 lever, value 0
    key_adf_outer_word = 0x101FF,
    key_adf_inner_word = 0x100B2,
    key_com_word = 0x100AB,
    key_adf_button = 0x10136,  // sent by the host from the button's area
};

// Variable tokens.
enum VariableToken : uint32_t {
    token_none = 0,
    token_adf_inner_word = 0x10,
    token_adf_outer_word = 0x12,
    token_adf_lamp = 0x15,
    token_com_word = 0x17,
    token_com_module_var = 0x1D,
    token_airspeed = 0x3D,
    token_radtemp_bound_a = 0x80,
    token_radtemp_bound_b = 0x88,
    token_radiator_temperature = 0x92,
};

#ifdef __cplusplus
extern "C" {
#endif
extern ImportEntry ImportTable[2];
#ifdef __cplusplus
}
#endif

namespace panel {

// The host's table as it stands now, or NULL while the host has not filled
// ImportTable. Read through a volatile view so that every call sees the
// entry as it is at that moment.
inline PanelServices* services() {
    return static_cast<PanelServices*>(*static_cast<void* volatile*>(&ImportTable[0].import_pointer));
}

inline bool services_ready() { return services() != 0; }

template <typename Service>
inline Service service(PanelServiceIndex index) {
    PanelServices* table = services();
    return table ? reinterpret_cast<Service>(table->entries[index]) : 0;
}

inline void query_elements(ElementHeader* root) {
    if (ElementService call = service<ElementService>(service_query_elements)) call(root);
}
inline void install_elements(ElementHeader* root, uint32_t host_value) {
    if (ElementServiceWithValue call = service<ElementServiceWithValue>(service_install_elements))
        call(root, host_value);
}
inline void initialize_elements(ElementHeader* root) {
    if (ElementService call = service<ElementService>(service_initialize_elements)) call(root);
}
inline void update_elements(ElementHeader* root) {
    if (ElementService call = service<ElementService>(service_update_elements)) call(root);
}
inline void generate_elements(ElementHeader* root, uint32_t host_value) {
    if (ElementServiceWithValue call = service<ElementServiceWithValue>(service_generate_elements))
        call(root, host_value);
}
inline void plot_elements(ElementHeader* root) {
    if (ElementService call = service<ElementService>(service_plot_elements)) call(root);
}
inline void kill_elements(ElementHeader* root) {
    if (ElementService call = service<ElementService>(service_kill_elements)) call(root);
}
inline void install_mouse_rects(MouseRect* list, GaugeHeader* gauge, uint32_t background_image) {
    if (InstallMouseRectsService call =
            service<InstallMouseRectsService>(service_install_mouse_rects))
        call(list, gauge, background_image);
}
inline void register_mouse_rects(MouseRect* list, GaugeHeader* gauge) {
    if (MouseRectsService call = service<MouseRectsService>(service_register_mouse_rects))
        call(list, gauge);
}
inline void unregister_mouse_rects(MouseRect* list, GaugeHeader* gauge) {
    if (MouseRectsService call = service<MouseRectsService>(service_unregister_mouse_rects))
        call(list, gauge);
}
inline void send_key_event(uint32_t event_id, uint32_t value) {
    if (SendKeyEventService call = service<SendKeyEventService>(service_send_key_event))
        call(event_id, value);
}
inline void init_module_var(ModuleVar* var) {
    if (ModuleVarService call = service<ModuleVarService>(service_init_module_var)) call(var);
}
inline void read_module_var(ModuleVar* var) {
    if (ModuleVarService call = service<ModuleVarService>(service_read_module_var)) call(var);
}

}  // namespace panel
