#include "InputGuard.h"

#include "morvex/Cli.h"

#include <iostream>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
#ifdef __GLIBC__
    // The reading pass grows lists of millions of entries by doubling. Mapped each on its own, every outgrown
    // one goes back to the system when it is freed; glibc's sliding threshold would keep them in the heap
    // (a 999,999-level document: 204 MB instead of 236 MB).
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
    morvex::removeTemporaryFilesOnInterrupt();
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return morvex::runCli(arguments, std::cin, std::cout, std::cerr);
}
