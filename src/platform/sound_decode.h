// Sound file decoding: WAV (8- and 16-bit PCM) and Ogg Vorbis, from bytes in memory into plain
// 16-bit samples. Kept apart from the drivers so that every back end shares one careful reader
// and so that the readers can be tested and fuzzed without files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Decoded sound: interleaved signed 16-bit samples.
struct TPcm {
  int channels = 0;              // 1 mono or 2 stereo
  int rate = 0;                  // frames per second, above 0
  std::vector<int16_t> samples;  // channels * frames values
  size_t Frames() const { return channels > 0 ? samples.size() / size_t(channels) : 0; }
};

// The most decoded sample bytes one sound may take; anything larger is refused.
constexpr size_t kMaxPcmBytes = size_t(64) << 20;

// Each returns false, leaving out empty, for anything it can't read safely.
bool DecodeWav(const uint8_t* data, size_t size, TPcm& out);
bool DecodeOgg(const uint8_t* data, size_t size, TPcm& out);
// Picks the reader by the file's leading bytes ("RIFF" or "OggS").
bool DecodeSound(const uint8_t* data, size_t size, TPcm& out);
