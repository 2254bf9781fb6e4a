#include "InputGuard.h"

#include "morvex/Cli.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    morvex::removeTemporaryFilesOnInterrupt();
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return morvex::runCli(arguments, std::cin, std::cout, std::cerr);
}
