// The audio back ends behind the driver registry, one file each. Only the registry and tests use
// this header; the game goes through platform/sound.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/sound.h"

// Where the OSS driver's mixed stereo 16-bit frames go. Write may block: that paces the mixing.
class TPcmOutput {
 public:
  virtual ~TPcmOutput() = default;
  // Opens the output; rate is the wished rate on entry and the one granted on return.
  virtual bool Open(int& rate) = 0;
  virtual bool Write(const int16_t* frames, size_t count) = 0;  // false when the output failed
  virtual void Close() = 0;
};

// The OSS device "/dev/dsp".
std::unique_ptr<TPcmOutput> NewOssDevice();

// The silent driver: nothing is heard, but channels play for as long as their sounds last on
// the game clock.
std::unique_ptr<TAudioDriver> NewNullDriver();
// Mixes on its own thread into the output (the OSS device by default).
std::unique_ptr<TAudioDriver> NewOssDriver(std::unique_ptr<TPcmOutput> output = NewOssDevice());
// OpenAL, loaded at run time; fails to start when the library can't be loaded or has no device.
std::unique_ptr<TAudioDriver> NewOpenALDriver();

// Loads the OpenAL library once and remembers the answer.
bool LoadOpenALLibrary();
// Tests only: the library file to try instead of "libopenal.so.1"; forgets the earlier answer.
void SetOpenALLibraryName(const std::string& name);
