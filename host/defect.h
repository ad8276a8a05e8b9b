// A fault found in a module: which module, which record, which field.
#pragma once

#include <string>
#include <vector>

namespace host {

struct Defect {
    std::string module;   // file name, e.g. "Tovik.Barrik.airspeed.gau"
    std::string record;   // e.g. "GaugeHeader", "NeedleElement #2"
    std::string field;    // e.g. "gauge_name", "scale[3]"
    std::string problem;  // what is wrong, in words

    std::string text() const { return module + ": " + record + "." + field + ": " + problem; }
};

using Defects = std::vector<Defect>;

std::string hex(unsigned long long value);

}  // namespace host
