#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "base/random_source.h"
#include "cli/cli_commands.h"
#include "settings/network_settings.h"

int main(int argc, char** argv) {
    vornetica::NetworkSettings settings;
    vornetica::RandomSource random;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    vornetica::cli::Console console{std::cout, std::cerr, isatty(STDERR_FILENO) == 1};
    return vornetica::cli::runCommandLine(arguments, settings, random, console);
}
