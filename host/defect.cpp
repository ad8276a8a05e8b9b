#include "defect.h"

#include <cstdio>

namespace host {

std::string hex(unsigned long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llX", value);
    return text;
}

}  // namespace host
