#pragma once
// A function compiled twice, for processors with AVX2 and for all others,
// the version chosen once when the program loads. Under ThreadSanitizer the
// loader's choice would run before the sanitizer has started, and crash:
// there the function is compiled once, for all processors.

#if defined(__SANITIZE_THREAD__)
#define ZEPHYRA_AVX2_CLONES
#else
#define ZEPHYRA_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#endif
