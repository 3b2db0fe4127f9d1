// fceconv, the command-line converter, as a function: the arguments in, the exit status
// out, everything it prints going to the two streams. main() and the tests call it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

enum : int { EXIT_ALL_DONE = 0, EXIT_SOME_FAILED = 1, EXIT_USAGE = 2 };

// Which of the two streams a person watches on a terminal: a batch shows its progress on err
// when that is one, and wipes it before it prints to out when out is one too.
struct Terminals {
    bool out = false;
    bool err = false;
};

// arguments holds what follows the program name.
int RunFceconv(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
               Terminals terminals = {});
