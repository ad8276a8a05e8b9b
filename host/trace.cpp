#include "trace.h"

#include <cstdio>

#include "defect.h"

namespace host {

namespace {
std::string json_string(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + "\"";
}
}  // namespace

const char* trace_kind_name(TraceKind kind) {
    switch (kind) {
        case TraceKind::routine: return "routine";
        case TraceKind::service: return "service";
        case TraceKind::callback: return "callback";
        case TraceKind::key_event: return "key_event";
        case TraceKind::variable: return "variable";
        case TraceKind::error: return "error";
    }
    return "?";
}

std::string to_json(const TraceEntry& entry) {
    std::string out = std::string("{\"kind\":\"") + trace_kind_name(entry.kind) + "\",\"call\":" +
                      json_string(entry.call) + ",\"args\":[";
    for (std::size_t i = 0; i < entry.args.size(); ++i) {
        if (i) out += ',';
        out += json_string(hex(entry.args[i]));
    }
    out += "]";
    if (!entry.detail.empty()) out += ",\"detail\":" + json_string(entry.detail);
    return out + "}";
}

}  // namespace host
