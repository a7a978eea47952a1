# The beat at midi_out against the sound: note-outs and clock pulses as a
# listening client receives them. Argument: seconds of playing (default 20).
korvanto_bench(bench_midi_out ${CMAKE_CURRENT_LIST_DIR}/MidiOutBench.cpp)
