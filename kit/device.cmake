# The sound device watch: a lost device told once and opened again.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DeviceLossWatch.cpp
)
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AudioThreadPriority.cpp
)
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SoundTrouble.cpp
)
# The sound output chosen in Preferences.
target_sources(korvanto_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SoundOutputChoice.cpp
)
