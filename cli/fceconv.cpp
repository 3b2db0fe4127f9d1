// fceconv: converts Verro cars from the command line, with the program's own file code.
#include <cstdio>
#include <cstring>

namespace {

constexpr char USAGE[] = "usage: fceconv --help | --version\n";

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("fceconv 1.0.0\n");
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    std::fputs(USAGE, stderr);
    return 2;
}
