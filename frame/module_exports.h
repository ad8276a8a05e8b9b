// What every module exports and the routines that Linkage names.
#pragma once

#include "records.h"

extern "C" {
// Linkage is defined by each gauge, after its header; ImportTable by the
// frame.
extern ModuleLinkage Linkage;
extern ImportEntry ImportTable[2];

void PANEL_CALL module_start();
void PANEL_CALL module_stop();
}
