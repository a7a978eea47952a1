# Waveforms: peaks of known signals, their reduction to pixel columns and the cache.
korvanto_test(test_waveform
  ${CMAKE_CURRENT_LIST_DIR}/WaveformPeaksTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveformCacheTest.cpp
)
