// A host with one module loaded, for tests that drive a real gauge.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "panel_host.h"
#include "record_words.h"

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

    // Every word of Linkage, ImportTable, the GaugeHeader and its element
    // list, as every module declares them: one gauge, its routines inside
    // the image, the host's table in ImportTable.
    void expect_exports_and_header(const char* gauge_name, std::uint32_t nominal_size) {
        ModuleLinkage* linkage = module_->linkage();
        GaugeHeader* header = gauge_->header();
        EXPECT_TRUE(module_->image().contains(reinterpret_cast<void*>(linkage->module_start)));
        EXPECT_TRUE(module_->image().contains(reinterpret_cast<void*>(linkage->module_stop)));
        EXPECT_TRUE(record_matches("Linkage", linkage,
                                   ExpectedWords(32)
                                       .at(0, 0x13)
                                       .at(4, reinterpret_cast<void*>(linkage->module_start))
                                       .at(8, reinterpret_cast<void*>(linkage->module_stop))
                                       .at(24, header)));
        EXPECT_TRUE(record_matches("ImportTable", module_->import_table(),
                                   ExpectedWords(16).at(0, 0x0F).at(4, &host_->services())));

        ExpectedWords expected(88);
        expected.at(0, 0x262).at(4, header->gauge_name).at(8, header->element_list).at(44, nominal_size);
        const void* routines[] = {
            reinterpret_cast<void*>(header->gauge_query),      reinterpret_cast<void*>(header->gauge_install),
            reinterpret_cast<void*>(header->gauge_initialize), reinterpret_cast<void*>(header->gauge_update),
            reinterpret_cast<void*>(header->gauge_generate),   reinterpret_cast<void*>(header->gauge_draw),
            reinterpret_cast<void*>(header->gauge_kill)};
        for (int i = 0; i < 7; ++i) {
            EXPECT_TRUE(module_->image().contains(routines[i])) << "routine word " << 3 + i;
            expected.at(12 + 4 * i, routines[i]);
        }
        EXPECT_TRUE(record_matches("GaugeHeader", header, expected));
        EXPECT_STREQ(header->gauge_name, gauge_name);
        EXPECT_TRUE(record_matches("element_list", header->element_list, ExpectedWords(8).at(0, gauge_->root())));
    }

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
