#include "module_exports.h"

// The host calls these around the gauge's life; no module has anything to do
// in them.
extern "C" void PANEL_CALL module_start() {}
extern "C" void PANEL_CALL module_stop() {}
