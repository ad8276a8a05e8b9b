// Vantle2 loaded by the host, with the stand-in DirectSound behind it, its
// platform imports hooked and the host's services tapped: one log holds
// every call the gauge makes, in order.
#pragma once

#include <string>
#include <vector>

#include "host_fixture.h"
#include "platform_hooks.h"
#include "service_taps.h"
#include "sound_calls.h"
#include "stand_in.h"

namespace sound_test {

class SwitchOnStandIn : public test::LoadedGauge {
protected:
    void SetUp() override {
        ASSERT_TRUE(stand_in().loaded()) << stand_in().problem();
        stand_in().reset();
        load(MODULE_SWITCH_GAUGE);
        ASSERT_EQ(hooks.attach(module().handle()), 7) << "the seven platform imports of Vantle2";
        ServiceTaps::attach(host().services());
        click_sound = SoundResource::of(module().handle());
        ASSERT_NE(click_sound.bytes, nullptr) << "Vantle2 carries its click";
    }

    const StandIn& stand_in() const { return StandIn::get(); }

    IconElement* lever() { return reinterpret_cast<IconElement*>(gauge().root()->next_elements[0]); }
    double lever_value() { return lever()->source.value.number; }

    // The bitmap the lever shows after the host's next update.
    std::uint32_t shown_lever_bitmap() {
        gauge().update();
        const host::ElementState& state = gauge().element(lever());
        return state.pictures.at(static_cast<std::size_t>(state.picture))->resource_id;
    }

    // The calls of one step of the test.
    template <typename Step>
    std::vector<std::string> calls_of(Step&& step) {
        std::size_t first = stand_in().log_length();
        step();
        return stand_in().log_from(first);
    }

    // A successful load of the click by the n-th install.
    LoadCalls click_load(int n) {
        LoadCalls c;
        c.device = "device#" + std::to_string(n);
        c.buffer = "buffer#" + std::to_string(n);
        c.window = hooks.active_window;
        c.sound = click_sound;
        c.format = click_sound.bytes + 20;
        c.data_size = 17;
        return c;
    }

    // The calls of an install, before the click's load.
    std::vector<std::string> install_prefix() {
        return {
            "service install_elements",
            "service install_mouse_rects",
            "service register_mouse_rects",
            "GetActiveWindow -> " + hex_address(hooks.active_window),
            "GetModuleFileNameA module=" + hex_address(module().handle()) + " size=255 -> " +
                std::to_string(click_sound.file_name.size()),
        };
    }

    PlatformHooks hooks;
    SoundResource click_sound;
};

}  // namespace sound_test
