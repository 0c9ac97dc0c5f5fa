#include <iostream>

#include "Cli.h"

int main(int argc, char** argv) {
    return printdeck::cli::RunCli(argc, argv, std::cout, std::cerr);
}
