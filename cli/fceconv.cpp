// fceconv: converts, checks and exports Verro cars from the command line, with the program's
// own file code.
#include "cli/fceconv_main.h"
#include "platform/platform.h"

#include <iostream>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // A batch allocates and frees the same few large arrays for every car. Kept in the heap
    // after a free, they are not handed back to the system and faulted in again for the next
    // car, which otherwise costs a third of the time of a batch.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
#endif
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunFceconv(arguments, std::cout, std::cerr,
                      {IsTerminal(StandardStream::Output), IsTerminal(StandardStream::Error)});
}
