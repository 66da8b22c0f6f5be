#pragma once
// An argument vector in the form posix_spawn takes: pointers to the
// strings, ending in a null pointer. Holds its own copy of the strings.

#include <string>
#include <vector>

class TSpawnArguments {
public:
  explicit TSpawnArguments(std::vector<std::string> argv) : FArgs(std::move(argv)) {
    for (std::string& a : FArgs) FPointers.push_back(a.data());
    FPointers.push_back(nullptr);
  }
  const char* File() const noexcept { return FPointers.front(); }
  char* const* Argv() noexcept { return FPointers.data(); }

private:
  std::vector<std::string> FArgs;
  std::vector<char*> FPointers;
};
