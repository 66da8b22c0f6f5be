// zephyra-render: see RenderUsage() or run it with --help.

#include "app/ProductTexts.h"
#include "app/render/RenderProgram.h"
#include "platform/InfoArguments.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (const auto status = AnswerInfoArgument(argc, argv, RenderUsage(), VersionText("zephyra-render"), std::cout))
    return *status;
  return RunRender(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
