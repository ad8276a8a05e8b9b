// A small stand-in for the simulation behind the key events: the radio
// events set their frequency variable to the word sent; every event is
// recorded.
#pragma once

#include <vector>

#include "trace.h"
#include "variable_store.h"

namespace host {

class Simulation {
public:
    explicit Simulation(VariableStore& variables) : variables_(variables) {}

    void key_event(std::uint32_t event_id, std::uint32_t value);
    const std::vector<KeyEventRecord>& events() const { return events_; }
    void clear() { events_.clear(); }

private:
    VariableStore& variables_;
    std::vector<KeyEventRecord> events_;
};

}  // namespace host
