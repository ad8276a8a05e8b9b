// What `check` tells about a module: its gauge, element tree, scales,
// mouse list, resources, version strings and import tables, then every
// defect found, each naming the record and field.
#pragma once

#include <filesystem>

#include "json_value.h"
#include "panel_host.h"

namespace host {

struct ModuleReport {
    JsonValue value;   // the whole report
    bool sound = false;  // true when no defect and no host error was found
};

// Loads the module into `host`, installs its gauge to read the mouse list,
// and kills it again. A module with defects is reported by its defects.
ModuleReport report_module(PanelHost& host, const std::filesystem::path& path);

}  // namespace host
