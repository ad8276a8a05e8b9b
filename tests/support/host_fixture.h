// A host with one module loaded, for tests that drive a real gauge.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "panel_host.h"

namespace test {

class LoadedGauge : public ::testing::Test {
protected:
    void load(const char* path) {
        host_ = std::make_unique<host::PanelHost>();
        module_ = &host_->load(path);
        gauge_ = &module_->gauge();
    }

    void TearDown() override {
        if (host_) {
            EXPECT_TRUE(host_->errors().empty()) << errors_text();
        }
    }

    std::string errors_text() const {
        std::string text;
        for (const auto& error : host_->errors()) text += error + "\n";
        return text;
    }

    // The services called since the trace was last cleared.
    std::vector<host::TraceEntry> services() const { return host_->trace_of(host::TraceKind::service); }

    host::PanelHost& host() { return *host_; }
    host::Module& module() { return *module_; }
    host::Gauge& gauge() { return *gauge_; }

    std::unique_ptr<host::PanelHost> host_;
    host::Module* module_ = nullptr;
    host::Gauge* gauge_ = nullptr;
};

inline host::TraceEntry service(std::string call, std::vector<std::uint32_t> args) {
    return {host::TraceKind::service, std::move(call), std::move(args), {}};
}

}  // namespace test
