korvanto_test(test_playlist
  PlayListTest.cpp
  CompileTest.cpp
  SongFileTest.cpp
  DemoGrooves.cpp
  DemoContentTest.cpp
  EditorSlotsTest.cpp
  RecoveryFilesTest.cpp
  EditedSongTest.cpp
  MixRuleTest.cpp
)
target_link_libraries(test_playlist PRIVATE korvanto_sndfile PkgConfig::SNDFILE)
