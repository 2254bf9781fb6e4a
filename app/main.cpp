#include "MorvexApplication.h"

int main(int argc, char** argv)
{
    return morvex::MorvexApplication::run(argc, argv);
}
