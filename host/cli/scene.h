// What render, trace, sweep, panel and bench run: a panel of gauges, from
// one module file or a panel file, with the command line's settings and
// clicks applied in order between update and draw cycles.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "command_line.h"
#include "panel.h"

namespace host::cli {

class Scene {
public:
    // `source` is a .gau file (one gauge at 0, 0) or a panel file; throws
    // UsageError, PanelFileError or ModuleRejected.
    Scene(const std::string& source, const Options& options);

    PanelHost& host() { return host_; }
    Panel& panel() { return *panel_; }

    // Sets one variable, in the form its token has; recorded in the trace.
    void set(const Setting& setting);
    // Install and initialize, the settings, a cycle, then each click followed
    // by a cycle, then the remaining frames.
    void run(const Options& options);
    std::unique_ptr<Canvas> picture(bool areas);

private:
    PanelHost host_;
    std::unique_ptr<Panel> panel_;
};

// The folder where a panel file's modules are looked up: --gauges, or the
// panel file's folder's "gauges", or dist/ beside that folder.
std::filesystem::path gauges_folder(const std::filesystem::path& panel_file, const Options& options);

}  // namespace host::cli
