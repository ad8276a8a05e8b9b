#include "module_exports.h"

// Entry 0 receives the host's service table; the second entry ends the table.
ImportEntry ImportTable[2] = {
    {panel_services_import_id, 0},
    {0, 0},
};
