#include "cli/CliRun.h"
#include "engine/FileIo.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    brellow::InstallTemporaryFileCleanup();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return brellow::cli::RunCliArguments(args, std::cin, std::cout, std::cerr);
}
