// tallex: answers a request file about a results database (README.md).
#include <iostream>
#include <string>
#include <vector>

#include "tallex_run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return tallex::runTallex(arguments, std::cout, std::cerr);
}
