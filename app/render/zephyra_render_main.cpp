// zephyra-render: see RenderUsage() or run it with --help.

#include "app/render/RenderProgram.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  return RunRender(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
