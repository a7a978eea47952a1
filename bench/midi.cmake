# Live MIDI on a private JACK server: a note's way from midi_in to the first
# frame of its sound, and a flood of notes against late blocks.
if(KORVANTO_GUI)
  korvanto_bench(bench_midi ${CMAKE_CURRENT_LIST_DIR}/MidiBench.cpp)
  target_link_libraries(bench_midi PRIVATE korvanto_gui)
  target_include_directories(bench_midi PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endif()
# A note through JACK end to end: the MIDI ports on the sound's client, a
# private real-time server at 128 and 256 frames.
if(KORVANTO_GUI)
  korvanto_bench(bench_midi_jack ${CMAKE_CURRENT_LIST_DIR}/MidiJackBench.cpp)
  target_link_libraries(bench_midi_jack PRIVATE korvanto_gui)
  target_include_directories(bench_midi_jack PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endif()
