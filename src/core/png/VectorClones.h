#pragma once

// For loops the compiler vectorises: built for AVX2 as well (x86 machines of the last decade)
// they run about twice as fast as with the baseline instructions; the loader picks the version
// the machine has.
#if defined(__x86_64__)
#define VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VECTOR_CLONES
#endif
