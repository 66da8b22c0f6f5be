#include "persistence/FileError.h"

#include <cstring>

TFileError CannotOpenFile(const std::string& path, int errorNumber) {
  return TFileError("Cannot open file \"" + path + "\". " + std::strerror(errorNumber), errorNumber);
}

TFileError CannotCreateFile(const std::string& path, int errorNumber) {
  return TFileError("Cannot create file \"" + path + "\". " + std::strerror(errorNumber), errorNumber);
}
