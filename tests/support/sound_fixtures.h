// Sound test material made in memory: WAV files chunk by chunk, Ogg Vorbis files from a tone,
// and a recording audio driver that keeps what each channel was told.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound.h"

// A WAV file under construction: chunks are appended as given, so tests can also build broken
// ones. The RIFF size is filled in by Bytes().
struct TWavBuilder {
  std::vector<uint8_t> body;  // everything after "RIFF" size "WAVE"
  TWavBuilder& Fmt(int channels, int rate, int bits, int tag = 1);
  TWavBuilder& Chunk(const char id[4], const std::vector<uint8_t>& data, bool pad = true);
  TWavBuilder& Data(const std::vector<uint8_t>& data) { return Chunk("data", data); }
  std::vector<uint8_t> Bytes() const;
};

// Little-endian 16-bit samples as bytes.
std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples);
// A sine tone of frames frames, interleaved for channels, with the given peak.
std::vector<int16_t> Tone(int frames, int channels, int rate, double hz, int peak);
// A complete 16-bit PCM WAV file.
std::vector<uint8_t> MakeWav(int channels, int rate, const std::vector<int16_t>& samples);
// An Ogg Vorbis file encoded with libvorbisenc.
std::vector<uint8_t> MakeOgg(int channels, int rate, const std::vector<int16_t>& samples);
// Writes bytes to path; false on failure.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// What a recording driver saw.
struct TRecordedChannel : TChannel {
  void Stop() override {
    ++stops;
    playing = false;
  }
  void SetPaused(bool p) override { paused = p; }
  void SetVolume(float v) override { volume = v; }
  void SetPan(float p) override { pan = p; }
  void SetDepth(float d) override { depth = d; }
  void SetRate(float r) override { rate = r; }
  bool Playing() override { return playing; }

  const void* owner = nullptr;   // the driver's log, so sounds know their own channels
  const TSound* sound = nullptr; // the sound last cued or played
  int cues = 0;
  int stops = 0;
  bool paused = false;
  bool playing = false;          // set by Cue and Play; tests clear it to end a sound
  float volume = -1, pan = -9, depth = -9, rate = -9;
};

struct TAudioLog {
  std::vector<std::shared_ptr<TRecordedChannel>> channels;  // every channel handed out
  int sounds = 0;
  bool started = false;
  bool shut_down = false;
};

// A driver that plays nothing and records everything; Startup fails when start_ok is false.
std::unique_ptr<TAudioDriver> NewRecordingDriver(std::shared_ptr<TAudioLog> log, bool start_ok = true);
