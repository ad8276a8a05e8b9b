// panelhost: the stand-in panel host as a tool a gauge maker runs instead of
// the simulator.
#include <iostream>

#include "commands.h"

int main(int argc, char** argv) {
    host::cli::Arguments arguments(argv + 1, argv + argc);
    int status = host::cli::run_panelhost(arguments, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
