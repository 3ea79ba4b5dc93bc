// tallex: answers a request file about a results database (README.md).
#include <iostream>
#include <string>
#include <vector>

#include "tallex_run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return tallex::runTallex(arguments, std::cerr);
}
