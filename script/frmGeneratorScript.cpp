// The window's script commands. The runner itself is not built yet: a script
// given on the command line is refused with a message and exit status 1.

#include "app/frmGenerator.h"

#include <iostream>

int TfrmGenerator::RunBatchScript(const std::string& fileName) {
  std::cerr << "zephyra: scripts are not available in this version; cannot run \"" << fileName << "\".\n";
  return 1;
}
