#pragma once
// Flushes denormal floats to zero for the lifetime of the guard: decaying
// voices would otherwise slow the mixer down by orders of magnitude.
#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#define KORVANTO_HAS_MXCSR 1
#endif

class DenormalGuard {
 public:
  DenormalGuard() {
#ifdef KORVANTO_HAS_MXCSR
    saved_ = _mm_getcsr();
    _mm_setcsr(saved_ | 0x8040);  // flush-to-zero and denormals-are-zero
#endif
  }
  ~DenormalGuard() {
#ifdef KORVANTO_HAS_MXCSR
    _mm_setcsr(saved_);
#endif
  }
  DenormalGuard(const DenormalGuard&) = delete;
  DenormalGuard& operator=(const DenormalGuard&) = delete;

 private:
  unsigned saved_ = 0;
};
