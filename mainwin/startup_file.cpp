#include "mainwin/startup_file.h"

#include <vector>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The rules of the Windows C runtime, for which the shell and other programs quote paths:
// quotes group blanks into an argument and are dropped, and "" inside quotes is one quote.
// Backslashes are plain characters unless a quote follows them; then each pair of them
// stands for one backslash, and an odd one makes the quote a plain character.
std::vector<std::string> SplitArguments(const char* line) {
    std::vector<std::string> arguments;
    const char* c = line;
    while (true) {
        while (IsBlank(*c)) {
            ++c;
        }
        if (*c == '\0') {
            return arguments;
        }
        std::string argument;
        bool quoted = false;
        while (*c != '\0' && (quoted || !IsBlank(*c))) {
            size_t backslashes = 0;
            while (*c == '\\') {
                ++backslashes;
                ++c;
            }
            if (*c != '"') {
                argument.append(backslashes, '\\');
                if (*c != '\0' && (quoted || !IsBlank(*c))) {
                    argument += *c++;
                }
                continue;
            }
            argument.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                argument += '"';
            } else if (quoted && c[1] == '"') {
                argument += '"';
                ++c;
            } else {
                quoted = !quoted;
            }
            ++c;
        }
        arguments.push_back(argument);
    }
}

} // namespace

std::string StartupFile(const char* commandLine, bool (*exists)(const char* path)) {
    for (const std::string& argument : SplitArguments(commandLine)) {
        if (argument.empty()) {
            continue;
        }
        if ((argument[0] == '-' || argument[0] == '/') && !exists(argument.c_str())) {
            continue;
        }
        return argument;
    }
    return {};
}
