// The stand-in panel host: loads gauge modules, checks them, gives them its
// service table, drives their gauges and records every call.
//
// One host is active at a time: the service table is a table of plain
// routines, and they act on the active host. Every call into module code
// runs with the x87 unit at 53-bit precision, as under a Windows host, and
// inside a guard: a module that calls a service this host does not provide,
// or faults, is stopped and reported, and the host goes on.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bitmap.h"
#include "defect.h"
#include "module_check.h"
#include "module_image.h"
#include "panel_services.h"
#include "simulation.h"
#include "trace.h"
#include "variable_store.h"

namespace host {

class PanelHost;
class Module;

// What the host keeps for one element between install and kill.
struct ElementState {
    ElementHeader* record = nullptr;
    std::uint32_t kind = 0;
    int parent = -1;
    std::vector<std::unique_ptr<ImageRecord>> pictures;  // icon: one per picture
    double value = 0.0;         // what the value callback (or the variable) gave
    int picture = 0;            // icons: the picture shown
    double needle_angle = 0.0;  // needles: degrees clockwise from straight up
    std::string text;           // strings: what the string callback wrote
    std::vector<char> text_buffer;
    bool shown = true;  // after the latest plot: drawn or hidden
};

// One gauge of a loaded module.
class Gauge {
public:
    Gauge(PanelHost& host, Module& module, const CheckedGauge& checked);

    const std::string& name() const { return name_; }
    GaugeHeader* header() const { return header_; }
    ElementHeader* root() const { return elements_.front().record; }
    Module& module() const { return module_; }

    // The gauge routines, called as the simulator calls them.
    void query();
    void install(std::uint32_t host_value);
    void initialize();
    void update();
    void generate(std::uint32_t host_value);
    void draw();
    void kill();

    bool installed() const { return installed_; }
    bool mouse_registered() const { return mouse_registered_; }
    MouseRect* mouse_list() const { return mouse_list_; }
    std::size_t mouse_records() const { return mouse_records_; }

    const std::vector<ElementState>& elements() const { return elements_; }
    const ElementState& element(const void* record) const;
    ElementState& element(const void* record);
    bool owns(const ElementHeader* record) const;

private:
    friend class PanelHost;
    PanelHost& host_;
    Module& module_;
    std::string name_;
    GaugeHeader* header_;
    std::vector<ElementState> elements_;  // tree order
    bool installed_ = false;
    MouseRect* mouse_list_ = nullptr;
    std::size_t mouse_records_ = 0;
    bool mouse_registered_ = false;
};

// One loaded and checked module.
class Module {
public:
    Module(PanelHost& host, HMODULE handle, std::string file_name, const CheckedModule& checked);
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const std::string& file_name() const { return file_name_; }
    const ModuleImage& image() const { return image_; }
    HMODULE handle() const { return image_.handle(); }
    ModuleLinkage* linkage() const { return linkage_; }
    ImportEntry* import_table() const { return import_table_; }

    std::vector<std::unique_ptr<Gauge>>& gauges() { return gauges_; }
    Gauge& gauge(std::size_t index = 0) { return *gauges_.at(index); }

    void module_start();
    void module_stop();

private:
    PanelHost& host_;
    ModuleImage image_;
    std::string file_name_;
    ModuleLinkage* linkage_;
    ImportEntry* import_table_;
    std::vector<std::unique_ptr<Gauge>> gauges_;
};

// A module that the host will not trust: every defect found.
class ModuleRejected : public std::runtime_error {
public:
    explicit ModuleRejected(Defects defects);
    const Defects& defects() const { return defects_; }

private:
    Defects defects_;
};

class PanelHost {
public:
    PanelHost();
    ~PanelHost();
    PanelHost(const PanelHost&) = delete;
    PanelHost& operator=(const PanelHost&) = delete;

    static PanelHost* active() { return active_; }

    // Loads a module and checks it; returns it, or throws ModuleRejected.
    Module& load(const std::filesystem::path& path);
    // Loads and checks only: the defects found (none for a sound module).
    Defects check(const std::filesystem::path& path);

    VariableStore& variables() { return variables_; }
    Simulation& simulation() { return simulation_; }
    const std::vector<KeyEventRecord>& key_events() const { return simulation_.events(); }

    const std::vector<TraceEntry>& trace() const { return trace_; }
    std::vector<TraceEntry> trace_of(TraceKind kind) const;
    void clear_trace() { trace_.clear(); }
    // Faults of modules seen while driving them (refused calls, caught faults).
    const std::vector<std::string>& errors() const { return errors_; }
    void clear_errors() { errors_.clear(); }

    // A click at (x, y) on the gauge: the first registered area that holds
    // the point takes it. False when no area does.
    bool click(Gauge& gauge, int x, int y);

    // The table the host writes into each module's ImportTable.
    PanelServices& services() { return services_; }

    // ---- services, as the table's routines call them ----
    void query_elements(ElementHeader* root);
    void install_elements(ElementHeader* root, std::uint32_t host_value);
    void initialize_elements(ElementHeader* root);
    void update_elements(ElementHeader* root);
    void generate_elements(ElementHeader* root, std::uint32_t host_value);
    void plot_elements(ElementHeader* root);
    void kill_elements(ElementHeader* root);
    void install_mouse_rects(MouseRect* list, GaugeHeader* header, std::uint32_t background_image);
    void register_mouse_rects(MouseRect* list, GaugeHeader* header);
    void unregister_mouse_rects(MouseRect* list, GaugeHeader* header);
    void send_key_event(std::uint32_t event_id, std::uint32_t value);
    void init_module_var(ModuleVar* var);
    void read_module_var(ModuleVar* var);
    void missing_service(std::uint32_t index);
    void stop_faulting_call(unsigned long code, void* address);

    // Runs module code under the guard. False when it was stopped.
    template <typename Call>
    bool call_module(Module& module, const char* what, Call&& call);

    void record(TraceKind kind, std::string call, std::vector<std::uint32_t> args, std::string detail = {});
    void fail(const std::string& text);

private:
    struct CallFrame;
    bool run_guarded(Module& module, const char* what, void (*thunk)(void*), void* context);
    Module* calling_module() const;
    Gauge* gauge_of_root(ElementHeader* root, const char* service);
    Gauge* gauge_of_header(GaugeHeader* header, const char* service);
    void refresh_elements(Gauge& gauge);
    void refresh_element(Gauge& gauge, ElementState& state);

    static PanelHost* active_;
    void* fault_handler_ = nullptr;
    PanelServices services_{};
    VariableStore variables_;
    Simulation simulation_{variables_};
    std::vector<TraceEntry> trace_;
    std::vector<std::string> errors_;
    std::vector<std::unique_ptr<Module>> modules_;
    std::vector<CallFrame*> frames_;
    std::map<ModuleVar*, std::uint32_t> bound_vars_;
};

template <typename Call>
bool PanelHost::call_module(Module& module, const char* what, Call&& call) {
    auto thunk = [](void* context) { (*static_cast<Call*>(context))(); };
    return run_guarded(module, what, thunk, &call);
}

// Degrees clockwise from straight up of the point (x, y) seen from (px, py).
double direction_from(double px, double py, double x, double y);

// The needle direction for `value` on the scale, seen from the pivot:
// interpolated by angle between the two neighbouring points, held at the
// first and last point outside the table.
double needle_direction(const NeedleElement& needle, double value);

}  // namespace host
