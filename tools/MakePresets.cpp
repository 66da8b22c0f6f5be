// zephyra-make-presets DEFINITION OUTPUT: writes the preset file that a
// readable definition describes (see tools/PresetDefinition.h).

#include "persistence/FileError.h"
#include "persistence/PresetFile.h"
#include "tools/PresetDefinition.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: zephyra-make-presets DEFINITION OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << argv[1] << ": cannot be read\n";
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  try {
    SavePresetFile(argv[2], ParsePresetDefinition(text.str()));
  } catch (const TDefinitionError& e) {
    std::cerr << argv[1] << ": " << e.what() << "\n";
    return 1;
  } catch (const TFileError& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
