#include "module_report.h"

#include <winver.h>

#include <cstring>

#include "renderer.h"

namespace host {

namespace {

std::string hex_text(unsigned long long value) { return hex(value); }

// Addresses of module code and data as offsets into the image, so that a
// report reads the same wherever Windows put the module.
std::string place(const Module& module, const void* address) {
    if (!address) return "null";
    auto value = reinterpret_cast<std::uintptr_t>(address);
    if (module.image().contains(value)) return "+" + hex_text(value - module.image().base());
    return hex_text(value) + " (outside the image)";
}

JsonValue defect_value(const Defect& defect) {
    JsonValue value = JsonValue::object();
    value.set("at", defect.record + "." + defect.field);
    value.set("record", defect.record);
    value.set("field", defect.field);
    value.set("problem", defect.problem);
    return value;
}

JsonValue module_var(const ModuleVar& var) {
    return JsonValue(var.token ? hex_text(var.token) : std::string("none"));
}

JsonValue element_value(const Module& module, const Gauge& gauge, const ElementState& state, int index) {
    const ElementHeader& header = *state.record;
    JsonValue value = JsonValue::object();
    value.set("index", index);
    value.set("parent", state.parent);
    value.set("kind", element_kind_name(state.kind));
    value.set("record", place(module, &header));
    value.set("bitmap", header.resource_id == no_resource ? std::string("none") : hex_text(header.resource_id));
    JsonValue position = JsonValue::array();
    position.push(static_cast<int>(header.position_x));
    position.push(static_cast<int>(header.position_y));
    value.set("position", position);
    JsonValue origin = JsonValue::array();
    origin.push(static_cast<int>(header.origin_x));
    origin.push(static_cast<int>(header.origin_y));
    value.set("origin", origin);
    value.set("image_flags", hex_text(header.image_flags));
    JsonValue failures = JsonValue::array();
    for (const FailureRecord* failure = header.failure_list; failure && failure->failure_key; ++failure) {
        JsonValue entry = JsonValue::array();
        entry.push(hex_text(failure->failure_key));
        entry.push(hex_text(failure->failure_action));
        failures.push(entry);
    }
    value.set("failures", failures);
    JsonValue tokens = JsonValue::array();
    JsonValue callbacks = JsonValue::object();
    switch (state.kind) {
        case element_needle: {
            const auto& needle = reinterpret_cast<const NeedleElement&>(header);
            tokens.push(module_var(needle.source));
            callbacks.set("value_callback", place(module, reinterpret_cast<const void*>(needle.value_callback)));
            value.set("tokens", tokens);
            value.set("callbacks", callbacks);
            JsonValue anchor = JsonValue::array();
            anchor.push(static_cast<int>(needle.scale_anchor_x));
            anchor.push(static_cast<int>(needle.scale_anchor_y));
            value.set("scale_anchor", anchor);
            JsonValue scale = JsonValue::array();
            for (std::uint32_t i = 0; i < needle.scale_count; ++i) {
                const NonlinearityPoint& point = needle.scale[i];
                JsonValue row = JsonValue::object();
                row.set("value", point.scale_value);
                JsonValue mark = JsonValue::array();
                mark.push(static_cast<int>(point.point_x));
                mark.push(static_cast<int>(point.point_y));
                row.set("mark", mark);
                row.set("angle", direction_from(header.position_x, header.position_y, point.point_x, point.point_y));
                scale.push(row);
            }
            value.set("scale", scale);
            break;
        }
        case element_icon: {
            const auto& icon = reinterpret_cast<const IconElement&>(header);
            tokens.push(module_var(icon.source));
            callbacks.set("value_callback", place(module, reinterpret_cast<const void*>(icon.value_callback)));
            value.set("tokens", tokens);
            value.set("callbacks", callbacks);
            value.set("picture_count", icon.picture_count);
            JsonValue pictures = JsonValue::array();
            for (std::uint32_t i = 0; i < icon.picture_count; ++i)
                pictures.push(hex_text(icon.header.resource_id + icon_picture_step * i));
            value.set("pictures", pictures);
            break;
        }
        case element_string: {
            const auto& text = reinterpret_cast<const StringElement&>(header);
            JsonValue sources = JsonValue::array();
            for (int i = 0; i < 3; ++i) {
                tokens.push(module_var(text.sources[i]));
                sources.push(place(module, reinterpret_cast<const void*>(text.source_callbacks[i])));
            }
            callbacks.set("source_callbacks", sources);
            callbacks.set("string_callback", place(module, reinterpret_cast<const void*>(text.string_callback)));
            value.set("tokens", tokens);
            value.set("callbacks", callbacks);
            JsonValue box = JsonValue::array();
            box.push(static_cast<int>(text.box_width));
            box.push(static_cast<int>(text.box_height));
            value.set("box", box);
            value.set("text_colour", hex_text(text.text_colour));
            value.set("background_colour", hex_text(text.background_colour));
            value.set("highlight_colour", hex_text(text.highlight_colour));
            value.set("font_name", std::string(text.font_name, strnlen(text.font_name, sizeof text.font_name)));
            value.set("font_used", font_face_used(text));
            value.set("font_weight", text.font_weight);
            value.set("font_charset", text.font_charset);
            value.set("text_format", hex_text(text.text_format));
            value.set("max_chars", text.max_chars);
            break;
        }
        default:
            value.set("tokens", tokens);
            value.set("callbacks", callbacks);
            break;
    }
    (void)gauge;
    return value;
}

const char* rect_kind_name(std::uint32_t kind) {
    switch (kind) {
        case mouse_list_end: return "end";
        case mouse_group_start: return "group start";
        case mouse_area: return "area";
        case mouse_group_end: return "group end";
        default: return "?";
    }
}

JsonValue mouse_value(const Module& module, const Gauge& gauge) {
    JsonValue list = JsonValue::array();
    for (std::size_t i = 0; i < gauge.mouse_records(); ++i) {
        const MouseRect& rect = gauge.mouse_list()[i];
        JsonValue row = JsonValue::object();
        row.set("kind", rect_kind_name(rect.rect_kind));
        JsonValue box = JsonValue::array();
        for (int v : {rect.area_x, rect.area_y, rect.area_width, rect.area_height}) box.push(v);
        row.set("box", box);
        row.set("cursor", static_cast<int>(rect.cursor));
        row.set("help_id", hex_text(rect.help_id));
        row.set("mouse_flags", hex_text(rect.mouse_flags));
        row.set("event_id", hex_text(rect.event_id));
        row.set("handler", place(module, reinterpret_cast<const void*>(rect.handler)));
        list.push(row);
    }
    return list;
}

std::string resource_name(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return hex_text(reinterpret_cast<std::uintptr_t>(name));
    return name;
}

std::string resource_type_name(LPCSTR type) {
    if (IS_INTRESOURCE(type)) {
        switch (reinterpret_cast<std::uintptr_t>(type)) {
            case 2: return "BITMAP";
            case 16: return "VERSION";
            case 6: return "STRING";
            case 24: return "MANIFEST";
            default: return hex_text(reinterpret_cast<std::uintptr_t>(type));
        }
    }
    return type;
}

struct ResourceWalk {
    HMODULE module;
    JsonValue* list;
    LPCSTR type;
};

BOOL CALLBACK on_language(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR context) {
    auto& walk = *reinterpret_cast<ResourceWalk*>(context);
    HRSRC found = FindResourceExA(module, type, name, language);
    JsonValue row = JsonValue::object();
    row.set("type", resource_type_name(type));
    row.set("name", resource_name(name));
    row.set("language", hex_text(language));
    row.set("size", static_cast<std::uint32_t>(found ? SizeofResource(module, found) : 0));
    walk.list->push(row);
    return TRUE;
}

BOOL CALLBACK on_name(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR context) {
    EnumResourceLanguagesA(module, type, name, on_language, context);
    return TRUE;
}

BOOL CALLBACK on_type(HMODULE module, LPSTR type, LONG_PTR context) {
    EnumResourceNamesA(module, type, on_name, context);
    return TRUE;
}

JsonValue resources_value(HMODULE module) {
    JsonValue list = JsonValue::array();
    ResourceWalk walk{module, &list, nullptr};
    EnumResourceTypesA(module, on_type, reinterpret_cast<LONG_PTR>(&walk));
    return list;
}

JsonValue version_value(HMODULE module) {
    JsonValue strings = JsonValue::object();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), reinterpret_cast<LPCSTR>(RT_VERSION));
    if (!found) return strings;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    DWORD size = SizeofResource(module, found);
    if (!data || !size) return strings;
    // VerQueryValue may write into the block: work on a copy.
    std::vector<char> block(static_cast<const char*>(data), static_cast<const char*>(data) + size);
    block.resize(size * 2 + 64);
    struct Translation {
        WORD language;
        WORD codepage;
    }* translations = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) ||
        length < sizeof(Translation))
        return strings;
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%04x%04x\\", translations[0].language,
                  translations[0].codepage);
    for (const char* key : {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
                            "OriginalFilename", "ProductName", "ProductVersion", "Comments"}) {
        char* text = nullptr;
        UINT text_length = 0;
        std::string query = std::string(prefix) + key;
        if (VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &text_length) && text)
            strings.set(key, std::string(text, strnlen(text, text_length)));
    }
    return strings;
}

// The Windows functions the module imports, from its PE import directory.
JsonValue windows_imports(const ModuleImage& image) {
    JsonValue list = JsonValue::array();
    auto base = image.base();
    auto dos = image.read<IMAGE_DOS_HEADER>(base);
    if (!dos) return list;
    auto nt = image.read<IMAGE_NT_HEADERS32>(base + dos->e_lfanew);
    if (!nt) return list;
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress) return list;
    for (std::uintptr_t at = base + directory.VirtualAddress;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        auto descriptor = image.read<IMAGE_IMPORT_DESCRIPTOR>(at);
        if (!descriptor || !descriptor->Name) break;
        auto library = image.read_string(base + descriptor->Name, 255);
        std::uint32_t thunks = descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
        for (std::uintptr_t thunk = base + thunks;; thunk += 4) {
            auto entry = image.read<std::uint32_t>(thunk);
            if (!entry || !*entry) break;
            std::string name;
            if (*entry & IMAGE_ORDINAL_FLAG32) {
                name = "#" + std::to_string(*entry & 0xFFFF);
            } else {
                auto text = image.read_string(base + *entry + 2, 255);
                name = text ? *text : "?";
            }
            list.push((library ? *library : std::string("?")) + "!" + name);
        }
    }
    return list;
}

}  // namespace

ModuleReport report_module(PanelHost& host, const std::filesystem::path& path) {
    ModuleReport report;
    JsonValue& value = report.value;
    value = JsonValue::object();
    value.set("file", path.filename().string());
    Defects defects = host.check(path);
    if (!defects.empty()) {
        JsonValue list = JsonValue::array();
        for (const auto& defect : defects) list.push(defect_value(defect));
        value.set("defects", list);
        return report;
    }
    host.clear_errors();
    Module& module = host.load(path);
    Gauge& gauge = module.gauge();
    value.set("gauge", gauge.name());
    value.set("nominal_size", gauge.header()->nominal_size);
    value.set("header_version", hex_text(gauge.header()->header_version));

    JsonValue linkage = JsonValue::object();
    linkage.set("linkage_id", hex_text(module.linkage()->linkage_id));
    linkage.set("module_start", place(module, reinterpret_cast<const void*>(module.linkage()->module_start)));
    linkage.set("module_stop", place(module, reinterpret_cast<const void*>(module.linkage()->module_stop)));
    value.set("linkage", linkage);

    JsonValue routines = JsonValue::object();
    const GaugeHeader& header = *gauge.header();
    routines.set("gauge_query", place(module, reinterpret_cast<const void*>(header.gauge_query)));
    routines.set("gauge_install", place(module, reinterpret_cast<const void*>(header.gauge_install)));
    routines.set("gauge_initialize", place(module, reinterpret_cast<const void*>(header.gauge_initialize)));
    routines.set("gauge_update", place(module, reinterpret_cast<const void*>(header.gauge_update)));
    routines.set("gauge_generate", place(module, reinterpret_cast<const void*>(header.gauge_generate)));
    routines.set("gauge_draw", place(module, reinterpret_cast<const void*>(header.gauge_draw)));
    routines.set("gauge_kill", place(module, reinterpret_cast<const void*>(header.gauge_kill)));
    value.set("routines", routines);

    module.module_start();
    gauge.query();
    gauge.install(0);
    GaugeSize size = gauge_size(gauge);
    JsonValue pixels = JsonValue::array();
    pixels.push(size.width);
    pixels.push(size.height);
    value.set("size", pixels);

    JsonValue elements = JsonValue::array();
    for (std::size_t i = 0; i < gauge.elements().size(); ++i)
        elements.push(element_value(module, gauge, gauge.elements()[i], static_cast<int>(i)));
    value.set("elements", elements);
    value.set("mouse_registered", gauge.mouse_registered());
    value.set("mouse", mouse_value(module, gauge));
    gauge.kill();
    module.module_stop();

    value.set("resources", resources_value(module.handle()));
    value.set("version", version_value(module.handle()));
    JsonValue imports = JsonValue::array();
    for (const ImportEntry* entry = module.import_table(); entry->import_id || entry->import_pointer; ++entry) {
        JsonValue row = JsonValue::object();
        row.set("import_id", hex_text(entry->import_id));
        row.set("filled", entry->import_pointer == &host.services() ? std::string("the host's PanelServices")
                                                                    : place(module, entry->import_pointer));
        imports.push(row);
    }
    value.set("import_table", imports);
    value.set("windows_imports", windows_imports(module.image()));

    JsonValue list = JsonValue::array();
    for (const auto& error : host.errors()) {
        JsonValue row = JsonValue::object();
        row.set("at", "run.install");
        row.set("record", "run");
        row.set("field", "install");
        row.set("problem", error);
        list.push(row);
    }
    value.set("defects", list);
    report.sound = host.errors().empty();
    return report;
}

}  // namespace host
