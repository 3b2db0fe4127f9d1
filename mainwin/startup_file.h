// The car named on the program's command line.
#pragma once

#include <string>

// The file that the program opens when it starts, from the command line after the
// program's name, split as the Windows C runtime splits its arguments. The first argument
// that names a file wins. The program has no options: an argument that starts with '-' or
// '/' counts only when exists says that such a file is there. Empty when no argument counts.
std::string StartupFile(const char* commandLine, bool (*exists)(const char* path));
