// Maker's strings of the version blocks: this project and its contributors.
#pragma once

#define PROJECT_COMPANY_NAME "Open Panel Gauges project"
#define PROJECT_COPYRIGHT "Copyright (C) 2026 the Open Panel Gauges contributors"
#define PROJECT_PRODUCT_NAME "Open Panel Gauges"
