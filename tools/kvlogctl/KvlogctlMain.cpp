// kvlogctl: the operator's tool for the logging of the suite's programs (see "kvlogctl --help").
#include "CKvlogctl.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return CKvlogctl(std::cout, std::cerr).Run(arguments);
}
