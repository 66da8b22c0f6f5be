#include "fuzz/FuzzTargets.h"

#include <cstdio>
#include <cstdlib>

const char* FuzzInputName = nullptr;

void FuzzFailure(const char* what) {
  std::fprintf(stderr, "fuzz property failed: %s%s%s\n", what, FuzzInputName ? " on " : "",
               FuzzInputName ? FuzzInputName : "");
  std::abort();
}
