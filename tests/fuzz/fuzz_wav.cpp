// Fuzzes the WAV reader: any bytes must give either no sound or a well-formed one.
#include <cstdlib>

#include "platform/sound_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPcm pcm;
  if (DecodeWav(data, size, pcm)) {
    // A sound taken must be one the mixers can play without reading past its samples.
    if (pcm.channels < 1 || pcm.channels > 2 || pcm.rate <= 0 || pcm.samples.empty() ||
        pcm.samples.size() % size_t(pcm.channels) != 0 || pcm.samples.size() * 2 > kMaxPcmBytes)
      std::abort();
  }
  return 0;
}
