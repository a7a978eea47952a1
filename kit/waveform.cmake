# Waveforms: peaks of a sound at a few resolutions, their cache, and the view
# that draws them.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/WaveformPeaks.h ${CMAKE_CURRENT_LIST_DIR}/WaveformPeaks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveformScan.h ${CMAKE_CURRENT_LIST_DIR}/WaveformScan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveformCache.h ${CMAKE_CURRENT_LIST_DIR}/WaveformCache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveformSource.h ${CMAKE_CURRENT_LIST_DIR}/WaveformSource.cpp
)
if(KORVANTO_GUI)
  target_sources(korvanto_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WaveformView.h ${CMAKE_CURRENT_LIST_DIR}/WaveformView.cpp
  )
endif()
