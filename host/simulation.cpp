#include "simulation.h"

#include "panel_services.h"

namespace host {

void Simulation::key_event(std::uint32_t event_id, std::uint32_t value) {
    events_.push_back({event_id, value});
    switch (event_id) {
        case key_adf_inner_word: variables_.set_word(token_adf_inner_word, value); break;
        case key_adf_outer_word: variables_.set_word(token_adf_outer_word, value); break;
        case key_com_word: variables_.set_word(token_com_word, value); break;
        default: break;
    }
}

}  // namespace host
