// fceconv, the command-line converter, as a function: the arguments in, the exit status
// out, everything it prints going to the two streams. main() and the tests call it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

enum : int { EXIT_ALL_DONE = 0, EXIT_SOME_FAILED = 1, EXIT_USAGE = 2 };

// arguments holds what follows the program name. errIsTerminal: err is shown on a terminal,
// where a batch shows its progress.
int RunFceconv(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
               bool errIsTerminal = false);
