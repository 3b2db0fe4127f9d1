// fceconv: converts, checks and exports Verro cars from the command line, with the program's
// own file code.
#include "cli/fceconv_main.h"
#include "platform/platform.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunFceconv(arguments, std::cout, std::cerr, StandardErrorIsTerminal());
}
