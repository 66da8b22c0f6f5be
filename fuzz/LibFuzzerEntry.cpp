// The libFuzzer entry of one target; ZEPHYRA_FUZZ_TARGET names it (fuzz/CMakeLists.txt).

#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return ZEPHYRA_FUZZ_TARGET(data, size); }
