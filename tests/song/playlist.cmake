korvanto_test(test_playlist
  PlayListTest.cpp
  CompileTest.cpp
  SongFileTest.cpp
  DemoGrooves.cpp
  DemoContentTest.cpp
  EditorSlotsTest.cpp
)
