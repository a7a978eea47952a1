korvanto_test(test_pattern_files
  PatternFileTest.cpp
  PatternStoreTest.cpp
)
