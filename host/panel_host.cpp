#include "panel_host.h"

#include <float.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

namespace host {

PanelHost* PanelHost::active_ = nullptr;

namespace {

std::uintptr_t address_of(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }
std::uint32_t word_of(const void* pointer) { return static_cast<std::uint32_t>(address_of(pointer)); }

std::string number_text(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// ---------------------------------------------------------------------------
// The service table's routines: each hands its call to the active host.
// ---------------------------------------------------------------------------
void PANEL_CALL service_query(ElementHeader* root) { PanelHost::active()->query_elements(root); }
void PANEL_CALL service_install(ElementHeader* root, std::uint32_t value) {
    PanelHost::active()->install_elements(root, value);
}
void PANEL_CALL service_initialize(ElementHeader* root) { PanelHost::active()->initialize_elements(root); }
void PANEL_CALL service_update(ElementHeader* root) { PanelHost::active()->update_elements(root); }
void PANEL_CALL service_generate(ElementHeader* root, std::uint32_t value) {
    PanelHost::active()->generate_elements(root, value);
}
void PANEL_CALL service_plot(ElementHeader* root) { PanelHost::active()->plot_elements(root); }
void PANEL_CALL service_kill(ElementHeader* root) { PanelHost::active()->kill_elements(root); }
void PANEL_CALL service_install_mouse(MouseRect* list, GaugeHeader* header, std::uint32_t image) {
    PanelHost::active()->install_mouse_rects(list, header, image);
}
void PANEL_CALL service_register_mouse(MouseRect* list, GaugeHeader* header) {
    PanelHost::active()->register_mouse_rects(list, header);
}
void PANEL_CALL service_unregister_mouse(MouseRect* list, GaugeHeader* header) {
    PanelHost::active()->unregister_mouse_rects(list, header);
}
void PANEL_CALL service_key_event(std::uint32_t event_id, std::uint32_t value) {
    PanelHost::active()->send_key_event(event_id, value);
}
void PANEL_CALL service_init_var(ModuleVar* var) { PanelHost::active()->init_module_var(var); }
void PANEL_CALL service_read_var(ModuleVar* var) { PanelHost::active()->read_module_var(var); }

// An index the host does not provide. Its caller's arguments are unknown, so
// the call cannot return normally: the host stops the module's call.
template <std::uint32_t index>
void PANEL_CALL service_missing() {
    PanelHost::active()->missing_service(index);
}

template <std::uint32_t... index>
void fill_missing(PanelServices& table, std::integer_sequence<std::uint32_t, index...>) {
    ((table.entries[index] = reinterpret_cast<void*>(&service_missing<index>)), ...);
}

void fill_services(PanelServices& table) {
    fill_missing(table, std::make_integer_sequence<std::uint32_t, panel_services_count>{});
    table.entries[service_query_elements] = reinterpret_cast<void*>(&service_query);
    table.entries[service_install_elements] = reinterpret_cast<void*>(&service_install);
    table.entries[service_initialize_elements] = reinterpret_cast<void*>(&service_initialize);
    table.entries[service_update_elements] = reinterpret_cast<void*>(&service_update);
    table.entries[service_generate_elements] = reinterpret_cast<void*>(&service_generate);
    table.entries[service_plot_elements] = reinterpret_cast<void*>(&service_plot);
    table.entries[service_kill_elements] = reinterpret_cast<void*>(&service_kill);
    table.entries[service_install_mouse_rects] = reinterpret_cast<void*>(&service_install_mouse);
    table.entries[service_register_mouse_rects] = reinterpret_cast<void*>(&service_register_mouse);
    table.entries[service_unregister_mouse_rects] = reinterpret_cast<void*>(&service_unregister_mouse);
    table.entries[service_send_key_event] = reinterpret_cast<void*>(&service_key_event);
    table.entries[service_init_module_var] = reinterpret_cast<void*>(&service_init_var);
    table.entries[service_read_module_var] = reinterpret_cast<void*>(&service_read_var);
}

bool is_fault(DWORD code) {
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
        case EXCEPTION_ILLEGAL_INSTRUCTION:
        case EXCEPTION_PRIV_INSTRUCTION:
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
        case EXCEPTION_INT_OVERFLOW:
        case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
        case EXCEPTION_DATATYPE_MISALIGNMENT:
        case EXCEPTION_FLT_DIVIDE_BY_ZERO:
        case EXCEPTION_FLT_INVALID_OPERATION:
        case EXCEPTION_FLT_OVERFLOW:
        case EXCEPTION_FLT_UNDERFLOW:
        case EXCEPTION_FLT_STACK_CHECK:
        case EXCEPTION_FLT_INEXACT_RESULT:
        case EXCEPTION_FLT_DENORMAL_OPERAND: return true;
        default: return false;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Guarded calls into module code.
// ---------------------------------------------------------------------------
struct PanelHost::CallFrame {
    Module* module;
    const char* what;
    void* jump[5];
};

namespace {
// Faults inside a guarded call stop that call; any other fault is not the
// host's to handle.
LONG CALLBACK on_fault(EXCEPTION_POINTERS* info) {
    PanelHost* host = PanelHost::active();
    DWORD code = info->ExceptionRecord->ExceptionCode;
    if (!host || !is_fault(code)) return EXCEPTION_CONTINUE_SEARCH;
    host->stop_faulting_call(code, info->ExceptionRecord->ExceptionAddress);
    return EXCEPTION_CONTINUE_SEARCH;
}
}  // namespace

void PanelHost::stop_faulting_call(unsigned long code, void* address) {
    if (frames_.empty()) return;
    CallFrame* frame = frames_.back();
    {
        fail(frame->module->file_name() + ": " + frame->what + " faulted (exception " + hex(code) + " at " +
             hex(address_of(address)) + "); the call was stopped");
    }
    __builtin_longjmp(frame->jump, 1);
}

bool PanelHost::run_guarded(Module& module, const char* what, void (*thunk)(void*), void* context) {
    CallFrame frame{&module, what, {}};
    frames_.push_back(&frame);
    volatile unsigned int saved_control = _controlfp(0, 0);
    _controlfp(_PC_53, _MCW_PC);
    volatile bool completed = false;
    if (__builtin_setjmp(frame.jump) == 0) {
        thunk(context);
        completed = true;
    } else {
        // Whatever the module left on the x87 stack is discarded.
        _fpreset();
    }
    _controlfp(saved_control, _MCW_PC);
    frames_.pop_back();
    return completed;
}

Module* PanelHost::calling_module() const { return frames_.empty() ? nullptr : frames_.back()->module; }

void PanelHost::missing_service(std::uint32_t index) {
    if (frames_.empty()) return;
    CallFrame* frame = frames_.back();
    {
        std::string text = frame->module->file_name() + ": " + frame->what + " called service index " +
                           std::to_string(index) + ", which this host does not provide; the call was stopped";
        fail(text);
    }
    __builtin_longjmp(frame->jump, 1);
}

void PanelHost::record(TraceKind kind, std::string call, std::vector<std::uint32_t> args, std::string detail) {
    trace_.push_back({kind, std::move(call), std::move(args), std::move(detail)});
}

void PanelHost::fail(const std::string& text) {
    errors_.push_back(text);
    record(TraceKind::error, "error", {}, text);
}

std::vector<TraceEntry> PanelHost::trace_of(TraceKind kind) const {
    std::vector<TraceEntry> entries;
    for (const auto& entry : trace_)
        if (entry.kind == kind) entries.push_back(entry);
    return entries;
}

// ---------------------------------------------------------------------------
// Host, modules and gauges.
// ---------------------------------------------------------------------------
ModuleRejected::ModuleRejected(Defects defects)
    : std::runtime_error([&] {
          std::string text;
          for (const auto& defect : defects) text += defect.text() + "\n";
          return text;
      }()),
      defects_(std::move(defects)) {}

PanelHost::PanelHost() {
    if (active_) throw std::logic_error("only one PanelHost may be active at a time");
    active_ = this;
    fill_services(services_);
    fault_handler_ = AddVectoredExceptionHandler(1, on_fault);
}

PanelHost::~PanelHost() {
    modules_.clear();
    if (fault_handler_) RemoveVectoredExceptionHandler(fault_handler_);
    active_ = nullptr;
}

Defects PanelHost::check(const std::filesystem::path& path) {
    Defects defects;
    std::string file_name = path.filename().string();
    if (!std::filesystem::is_regular_file(path)) {
        defects.push_back({file_name, "file", "path", "no such file: " + path.string()});
        return defects;
    }
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE handle = LoadLibraryW(path.wstring().c_str());
    SetErrorMode(previous);
    if (!handle) {
        defects.push_back({file_name, "file", "path",
                           "Windows could not load it as a library (error " + std::to_string(GetLastError()) + ")"});
        return defects;
    }
    ModuleImage image(handle);
    check_module(image, file_name, defects);
    FreeLibrary(handle);
    return defects;
}

Module& PanelHost::load(const std::filesystem::path& path) {
    std::string file_name = path.filename().string();
    if (!std::filesystem::is_regular_file(path))
        throw ModuleRejected({{file_name, "file", "path", "no such file: " + path.string()}});
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE handle = LoadLibraryW(path.wstring().c_str());
    SetErrorMode(previous);
    if (!handle)
        throw ModuleRejected({{file_name, "file", "path",
                               "Windows could not load it as a library (error " + std::to_string(GetLastError()) +
                                   ")"}});
    for (auto& module : modules_) {
        if (module->handle() == handle) {
            FreeLibrary(handle);  // the module holds its own reference
            return *module;
        }
    }
    ModuleImage image(handle);
    Defects defects;
    CheckedModule checked = check_module(image, file_name, defects);
    if (!defects.empty() || !checked.linkage || !checked.import_table) {
        FreeLibrary(handle);
        throw ModuleRejected(std::move(defects));
    }
    modules_.push_back(std::make_unique<Module>(*this, handle, file_name, checked));
    return *modules_.back();
}

Module::Module(PanelHost& host, HMODULE handle, std::string file_name, const CheckedModule& checked)
    : host_(host),
      image_(handle),
      file_name_(std::move(file_name)),
      linkage_(checked.linkage),
      import_table_(checked.import_table) {
    import_table_[0].import_pointer = &host.services();
    for (const auto& gauge : checked.gauges) gauges_.push_back(std::make_unique<Gauge>(host, *this, gauge));
}

Module::~Module() {
    import_table_[0].import_pointer = nullptr;
    FreeLibrary(image_.handle());
}

void Module::module_start() {
    if (!linkage_->module_start) return;
    host_.record(TraceKind::routine, "module_start", {});
    ModuleRoutine routine = linkage_->module_start;
    host_.call_module(*this, "module_start", [&] { routine(); });
}

void Module::module_stop() {
    if (!linkage_->module_stop) return;
    host_.record(TraceKind::routine, "module_stop", {});
    ModuleRoutine routine = linkage_->module_stop;
    host_.call_module(*this, "module_stop", [&] { routine(); });
}

Gauge::Gauge(PanelHost& host, Module& module, const CheckedGauge& checked)
    : host_(host), module_(module), name_(checked.name), header_(checked.header) {
    for (const auto& element : checked.elements) {
        ElementState state;
        state.record = element.record;
        state.kind = element.kind;
        state.parent = element.parent;
        elements_.push_back(std::move(state));
    }
}

bool Gauge::owns(const ElementHeader* record) const {
    for (const auto& state : elements_)
        if (state.record == record) return true;
    return false;
}

const ElementState& Gauge::element(const void* record) const {
    for (const auto& state : elements_)
        if (state.record == record) return state;
    throw std::out_of_range("not an element of gauge " + name_);
}

ElementState& Gauge::element(const void* record) {
    return const_cast<ElementState&>(static_cast<const Gauge&>(*this).element(record));
}

void Gauge::query() {
    host_.record(TraceKind::routine, "gauge_query", {});
    host_.call_module(module_, "gauge_query", [r = header_->gauge_query] { r(); });
}
void Gauge::install(std::uint32_t host_value) {
    host_.record(TraceKind::routine, "gauge_install", {host_value});
    host_.call_module(module_, "gauge_install", [r = header_->gauge_install, host_value] { r(host_value); });
}
void Gauge::initialize() {
    host_.record(TraceKind::routine, "gauge_initialize", {});
    host_.call_module(module_, "gauge_initialize", [r = header_->gauge_initialize] { r(); });
}
void Gauge::update() {
    host_.record(TraceKind::routine, "gauge_update", {});
    host_.call_module(module_, "gauge_update", [r = header_->gauge_update] { r(); });
}
void Gauge::generate(std::uint32_t host_value) {
    host_.record(TraceKind::routine, "gauge_generate", {host_value});
    host_.call_module(module_, "gauge_generate", [r = header_->gauge_generate, host_value] { r(host_value); });
}
void Gauge::draw() {
    host_.record(TraceKind::routine, "gauge_draw", {});
    host_.call_module(module_, "gauge_draw", [r = header_->gauge_draw] { r(); });
}
void Gauge::kill() {
    host_.record(TraceKind::routine, "gauge_kill", {});
    host_.call_module(module_, "gauge_kill", [r = header_->gauge_kill] { r(); });
}

// ---------------------------------------------------------------------------
// Element services.
// ---------------------------------------------------------------------------
Gauge* PanelHost::gauge_of_root(ElementHeader* root, const char* service) {
    Module* module = calling_module();
    if (module) {
        for (auto& gauge : module->gauges())
            if (gauge->root() == root) return gauge.get();
    }
    fail((module ? module->file_name() : std::string("?")) + ": " + service + " was given " + hex(address_of(root)) +
         ", which is not the root element of a checked gauge of the module; the call was ignored");
    return nullptr;
}

Gauge* PanelHost::gauge_of_header(GaugeHeader* header, const char* service) {
    Module* module = calling_module();
    if (module) {
        for (auto& gauge : module->gauges())
            if (gauge->header() == header) return gauge.get();
    }
    fail((module ? module->file_name() : std::string("?")) + ": " + service + " was given " +
         hex(address_of(header)) + ", which is not a GaugeHeader of the module; the call was ignored");
    return nullptr;
}

void PanelHost::query_elements(ElementHeader* root) {
    record(TraceKind::service, "query_elements", {word_of(root)});
    gauge_of_root(root, "query_elements");
}

void PanelHost::install_elements(ElementHeader* root, std::uint32_t host_value) {
    record(TraceKind::service, "install_elements", {word_of(root), host_value});
    Gauge* gauge = gauge_of_root(root, "install_elements");
    if (!gauge) return;
    for (auto& state : gauge->elements_) {
        ElementHeader& element = *state.record;
        state.pictures.clear();
        std::uint32_t count = 0;
        if (state.kind == element_static_image || state.kind == element_needle) count = 1;
        if (state.kind == element_icon) count = reinterpret_cast<IconElement&>(element).picture_count;
        for (std::uint32_t i = 0; i < count; ++i) {
            std::string error;
            auto image = load_bitmap(gauge->module().handle(), element.resource_id + icon_picture_step * i, error);
            if (!image) {
                fail(gauge->module().file_name() + ": " + element_kind_name(state.kind) + " " + error);
                state.pictures.push_back(std::make_unique<ImageRecord>());
            } else {
                state.pictures.push_back(std::make_unique<ImageRecord>(std::move(*image)));
            }
        }
        if (state.kind == element_static_image)
            reinterpret_cast<StaticImageElement&>(element).image_slots[0] = word_of(state.pictures[0].get());
        if (state.kind == element_string) {
            auto& text = reinterpret_cast<StringElement&>(element);
            // Room for max_chars and the zero, then a guard that shows an
            // overrun.
            state.text_buffer.assign(text.max_chars + 1 + 16, '\xCD');
            std::fill_n(state.text_buffer.begin(), text.max_chars + 1, '\0');
            text.text = state.text_buffer.data();
        }
        state.shown = true;
    }
    gauge->installed_ = true;
}

void PanelHost::refresh_element(Gauge& gauge, ElementState& state) {
    Module& module = gauge.module();
    auto call_value = [&](ValueCallback callback, ModuleVar& var, double fallback) {
        if (!callback) return fallback;
        double result = fallback;
        if (call_module(module, "value callback", [&] { result = callback(&var); }))
            record(TraceKind::callback, "value_callback", {word_of(state.record), word_of(&var)}, number_text(result));
        return result;
    };
    auto refresh = [&](ModuleVar& var) {
        if (var.token != token_none) variables_.refresh(var);
    };
    switch (state.kind) {
        case element_needle: {
            auto& needle = reinterpret_cast<NeedleElement&>(*state.record);
            refresh(needle.source);
            state.value = call_value(needle.value_callback, needle.source, needle.source.value.number);
            state.needle_angle = needle_direction(needle, state.value);
            break;
        }
        case element_icon: {
            auto& icon = reinterpret_cast<IconElement&>(*state.record);
            refresh(icon.source);
            state.value = call_value(icon.value_callback, icon.source, icon.source.value.number);
            // Values outside the pictures there are show the nearest one.
            double last = icon.picture_count ? icon.picture_count - 1.0 : 0.0;
            double index = std::isnan(state.value) ? 0.0 : std::fmin(std::fmax(state.value, 0.0), last);
            state.picture = static_cast<int>(index);
            break;
        }
        case element_string: {
            auto& text = reinterpret_cast<StringElement&>(*state.record);
            for (int i = 0; i < 3; ++i) {
                refresh(text.sources[i]);
                if (text.source_callbacks[i])
                    text.saved_values[i] = call_value(text.source_callbacks[i], text.sources[i], 0.0);
            }
            state.value = text.saved_values[0];
            if (!text.string_callback || !text.text) break;
            StringCallback callback = text.string_callback;
            double argument = text.saved_values[0];
            double result = 0.0;
            if (!call_module(module, "string callback", [&] { result = callback(argument); })) break;
            std::size_t room = text.max_chars + 1;
            const char* buffer = state.text_buffer.data();
            state.text.assign(buffer, strnlen(buffer, room));
            if (state.text.size() == room) state.text.resize(text.max_chars);
            bool overrun = false;
            for (std::size_t i = room; i < state.text_buffer.size(); ++i) overrun = overrun || buffer[i] != '\xCD';
            record(TraceKind::callback, "string_callback", {word_of(state.record)},
                   number_text(argument) + " -> \"" + state.text + "\"");
            if (overrun)
                fail(module.file_name() + ": the string callback of " + element_kind_name(state.kind) +
                     " at " + hex(address_of(state.record)) + " wrote past its max_chars + 1 bytes");
            if (!(result == argument) && !(std::isnan(result) && std::isnan(argument)))
                record(TraceKind::callback, "string_callback_result", {word_of(state.record)}, number_text(result));
            break;
        }
        default: break;
    }
}

void PanelHost::refresh_elements(Gauge& gauge) {
    if (!gauge.installed_) {
        fail(gauge.module().file_name() + ": the elements of " + gauge.name() + " were used before install_elements");
        return;
    }
    for (auto& state : gauge.elements_) refresh_element(gauge, state);
}

void PanelHost::initialize_elements(ElementHeader* root) {
    record(TraceKind::service, "initialize_elements", {word_of(root)});
    if (Gauge* gauge = gauge_of_root(root, "initialize_elements")) refresh_elements(*gauge);
}

void PanelHost::update_elements(ElementHeader* root) {
    record(TraceKind::service, "update_elements", {word_of(root)});
    if (Gauge* gauge = gauge_of_root(root, "update_elements")) refresh_elements(*gauge);
}

void PanelHost::generate_elements(ElementHeader* root, std::uint32_t host_value) {
    record(TraceKind::service, "generate_elements", {word_of(root), host_value});
    gauge_of_root(root, "generate_elements");
}

void PanelHost::plot_elements(ElementHeader* root) {
    record(TraceKind::service, "plot_elements", {word_of(root)});
    Gauge* gauge = gauge_of_root(root, "plot_elements");
    if (!gauge) return;
    // An element is drawn when neither it nor an element above it is hidden.
    for (auto& state : gauge->elements_) {
        bool parent_shown = state.parent < 0 || gauge->elements_[state.parent].shown;
        state.shown = parent_shown && !(state.record->image_flags & image_flag_hidden);
    }
}

void PanelHost::kill_elements(ElementHeader* root) {
    record(TraceKind::service, "kill_elements", {word_of(root)});
    Gauge* gauge = gauge_of_root(root, "kill_elements");
    if (!gauge) return;
    for (auto& state : gauge->elements_) {
        if (state.kind == element_static_image)
            reinterpret_cast<StaticImageElement*>(state.record)->image_slots[0] = 0;
        if (state.kind == element_string) reinterpret_cast<StringElement*>(state.record)->text = nullptr;
        state.pictures.clear();
        state.text_buffer.clear();
    }
    gauge->installed_ = false;
}

// ---------------------------------------------------------------------------
// Mouse-area services.
// ---------------------------------------------------------------------------
void PanelHost::install_mouse_rects(MouseRect* list, GaugeHeader* header, std::uint32_t background_image) {
    record(TraceKind::service, "install_mouse_rects", {word_of(list), word_of(header), background_image});
    Gauge* gauge = gauge_of_header(header, "install_mouse_rects");
    if (!gauge) return;
    auto& root = reinterpret_cast<StaticImageElement&>(*gauge->root());
    if (background_image != root.image_slots[0] + 4)
        fail(gauge->module().file_name() + ": install_mouse_rects was given the background image " +
             hex(background_image) + ", not the address in its first image slot plus 4 (" +
             hex(root.image_slots[0] + 4) + ")");
    Defects defects;
    std::size_t count = check_mouse_list(gauge->module().image(), gauge->module().file_name(), address_of(list), defects);
    for (const auto& defect : defects) fail(defect.text());
    if (!count) return;
    gauge->mouse_list_ = list;
    gauge->mouse_records_ = count;
}

void PanelHost::register_mouse_rects(MouseRect* list, GaugeHeader* header) {
    record(TraceKind::service, "register_mouse_rects", {word_of(list), word_of(header)});
    Gauge* gauge = gauge_of_header(header, "register_mouse_rects");
    if (!gauge) return;
    if (gauge->mouse_list_ != list) {
        fail(gauge->module().file_name() + ": register_mouse_rects was given " + hex(address_of(list)) +
             ", not the installed mouse list");
        return;
    }
    gauge->mouse_registered_ = true;
}

void PanelHost::unregister_mouse_rects(MouseRect* list, GaugeHeader* header) {
    record(TraceKind::service, "unregister_mouse_rects", {word_of(list), word_of(header)});
    Gauge* gauge = gauge_of_header(header, "unregister_mouse_rects");
    if (!gauge) return;
    if (gauge->mouse_list_ != list) {
        fail(gauge->module().file_name() + ": unregister_mouse_rects was given " + hex(address_of(list)) +
             ", not the installed mouse list");
        return;
    }
    gauge->mouse_registered_ = false;
}

bool PanelHost::click(Gauge& gauge, int x, int y) {
    if (!gauge.mouse_registered_ || !gauge.mouse_list_) return false;
    for (std::size_t i = 0; i < gauge.mouse_records_; ++i) {
        const MouseRect& rect = gauge.mouse_list_[i];
        if (rect.rect_kind != mouse_area) continue;
        if (x < rect.area_x || y < rect.area_y || x >= rect.area_x + rect.area_width ||
            y >= rect.area_y + rect.area_height)
            continue;
        record(TraceKind::routine, "click", {static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                                             static_cast<std::uint32_t>(i)});
        if (rect.handler) {
            MouseHandler handler = rect.handler;
            std::uint32_t point = static_cast<std::uint32_t>(y) << 16 | (static_cast<std::uint32_t>(x) & 0xFFFF);
            std::uint32_t flags = rect.mouse_flags;
            std::uint32_t result = 0;
            if (call_module(gauge.module(), "mouse handler", [&] { result = handler(point, flags); }))
                record(TraceKind::callback, "mouse_handler", {word_of(reinterpret_cast<void*>(handler)), point, flags},
                       std::to_string(result));
        }
        if (rect.event_id) {
            record(TraceKind::service, "area_key_event", {rect.event_id, 0});
            simulation_.key_event(rect.event_id, 0);
            record(TraceKind::key_event, "key_event", {rect.event_id, 0});
        }
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Key events and module-level variables.
// ---------------------------------------------------------------------------
void PanelHost::send_key_event(std::uint32_t event_id, std::uint32_t value) {
    record(TraceKind::service, "send_key_event", {event_id, value});
    std::map<std::uint32_t, Variable> before;
    for (std::uint32_t token : {token_adf_inner_word, token_adf_outer_word, token_com_word})
        before[token] = variables_.get(token);
    simulation_.key_event(event_id, value);
    record(TraceKind::key_event, "key_event", {event_id, value});
    for (auto& [token, old] : before) {
        Variable now = variables_.get(token);
        if (now.word != old.word) record(TraceKind::variable, "variable", {token, now.word});
    }
}

void PanelHost::init_module_var(ModuleVar* var) {
    record(TraceKind::service, "init_module_var",
           {word_of(var), calling_module() && calling_module()->image().contains(var, sizeof(ModuleVar)) ? var->token : 0});
    Module* module = calling_module();
    if (!module || !module->image().contains(var, sizeof(ModuleVar))) {
        fail((module ? module->file_name() : std::string("?")) + ": init_module_var was given " +
             hex(address_of(var)) + ", which is not a ModuleVar inside the module image");
        return;
    }
    bound_vars_[var] = var->token;
    variables_.refresh(*var);
}

void PanelHost::read_module_var(ModuleVar* var) {
    Module* module = calling_module();
    bool inside = module && module->image().contains(var, sizeof(ModuleVar));
    record(TraceKind::service, "read_module_var", {word_of(var), inside ? var->token : 0});
    if (!inside) {
        fail((module ? module->file_name() : std::string("?")) + ": read_module_var was given " +
             hex(address_of(var)) + ", which is not a ModuleVar inside the module image");
        return;
    }
    if (!bound_vars_.count(var))
        fail(module->file_name() + ": read_module_var on the variable of token " + hex(var->token) +
             " before init_module_var bound it");
    variables_.refresh(*var);
}

// ---------------------------------------------------------------------------
// Needle geometry.
// ---------------------------------------------------------------------------
double direction_from(double px, double py, double x, double y) {
    double degrees = std::atan2(x - px, py - y) * 180.0 / 3.14159265358979323846;
    return degrees < 0 ? degrees + 360.0 : degrees;
}

double needle_direction(const NeedleElement& needle, double value) {
    const NonlinearityPoint* scale = needle.scale;
    std::uint32_t count = needle.scale_count;
    double px = needle.header.position_x, py = needle.header.position_y;
    auto angle = [&](std::uint32_t i) { return direction_from(px, py, scale[i].point_x, scale[i].point_y); };
    if (count == 0) return 0.0;
    if (std::isnan(value) || value <= scale[0].scale_value) return angle(0);
    for (std::uint32_t i = 1; i < count; ++i) {
        if (value > scale[i].scale_value) continue;
        double from = angle(i - 1), to = angle(i);
        // The shorter way round between neighbouring marks.
        double step = std::remainder(to - from, 360.0);
        double share = (value - scale[i - 1].scale_value) / (scale[i].scale_value - scale[i - 1].scale_value);
        double result = std::fmod(from + step * share + 360.0, 360.0);
        return result;
    }
    return angle(count - 1);
}

}  // namespace host
