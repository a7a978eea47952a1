#pragma once
// Hot loops built for AVX2 too, the system picking the clone at load time.
// Sanitized builds get the plain loop: their runtime isn't ready when the
// loader runs the picker.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && \
    !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
#define KORVANTO_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KORVANTO_AVX2_CLONES
#endif
