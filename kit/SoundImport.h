#pragma once
// The one rule for a sound file the user names for a sample slot or a kit
// entry: a file the RIFF reader takes as it stands (PCM, 8 or 16 bits) goes
// through unchanged; any other file the installed decoder reads is decoded
// to a 16-bit PCM WAV in the temp folder, and that WAV is what is used.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// The open dialogs' filter for sound files ("description|patterns" pairs).
inline constexpr const char* kSoundFileFilter =
    "Sound files (*.wav *.aif *.aiff *.flac *.ogg *.oga *.opus *.mp3)"
    "|*.wav;*.aif;*.aiff;*.flac;*.ogg;*.oga;*.opus;*.mp3"
    "|Wave (*.wav)|*.wav|All files (*.*)|*.*";

struct SoundFile {
  std::string chosen;    // as the user named it: what song and pattern files keep
  std::string readable;  // what the RIFF reader reads: chosen, or its decoded WAV
};

// A file's size and time of last change: a decoded WAV stands for its
// source while the source keeps its stamp.
struct FileStamp {
  std::filesystem::file_time_type time{};
  std::uintmax_t size = 0;
  bool operator==(const FileStamp&) const = default;
};
// Nothing when the file can't be read.
std::optional<FileStamp> StampOf(const std::filesystem::path& path);

// Whether the RIFF reader takes the file as it stands.
bool RiffReaderTakes(const std::filesystem::path& path);

// The decoded WAV of a slot or kit entry: temp/decoded-<owner><n>.wav.
std::filesystem::path DecodedWorkFile(const std::filesystem::path& tempDir,
                                      const std::string& owner, int n);

// Applies the rule. A file that can't be opened, or that no decoder is
// installed for, goes to the RIFF reader as it stands, which reports it as
// it always did. A file the decoder refuses raises "Wave is invalid: <path>"
// before anything changes; decodedWav is written only when decoding
// succeeds (errors and cancelling as DecodeToWav, watched by the current
// decode watch).
SoundFile ImportSoundFile(const std::string& chosen, const std::filesystem::path& decodedWav);
