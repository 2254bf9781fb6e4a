#include "CommandLine.h"
#include "MorvexApplication.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (const auto answered = morvex::answerCommandLine(argc, argv, std::cout))
        return *answered;
    return morvex::MorvexApplication::run(argc, argv);
}
