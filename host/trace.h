// The record of everything the host was asked to do and did, in order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

enum class TraceKind {
    routine,    // the host called a gauge or module routine
    service,    // the module called one of the host's services
    callback,   // the host called a value, string or mouse callback
    key_event,  // a key event reached the simulation
    variable,   // a variable changed
    error,      // something the host refused or caught
};

const char* trace_kind_name(TraceKind kind);

struct TraceEntry {
    TraceKind kind = TraceKind::service;
    std::string call;                 // routine, service, callback or event name
    std::vector<std::uint32_t> args;  // 32-bit arguments as passed
    std::string detail;               // a result or text, where there is one

    bool operator==(const TraceEntry&) const = default;
};

std::string to_json(const TraceEntry& entry);

struct KeyEventRecord {
    std::uint32_t event_id;
    std::uint32_t value;
    bool operator==(const KeyEventRecord&) const = default;
};

}  // namespace host
