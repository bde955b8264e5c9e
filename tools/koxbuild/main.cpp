#include <iostream>

#include "tools/koxbuild/koxbuild_cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return kox::runKoxbuild(arguments, std::cout, std::cerr);
}
