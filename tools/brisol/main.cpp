// brisol: the solver stand-in (README.md).
#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return brisol::runBrisol(arguments, std::cout, std::cerr);
}
