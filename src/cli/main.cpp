#include "cli/Cli.h"
#include "core/NumberFormat.h"
#include "simulation/SmtpSender.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv) {
    v7300::InitCurl(); // before any thread runs
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C"); // the program formats numbers itself
    v7300::setDecimalSeparator(v7300::systemDecimalSeparator());
    std::vector<std::string> args(argv, argv + argc);
    return v7300::cli::run(args, std::cout, std::cerr);
}
