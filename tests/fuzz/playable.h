// What the sound fuzzers ask of every sound a reader accepts.
#pragma once
#include <cstdlib>

#include "platform/sound_decode.h"

// A sound taken must be one the mixers can play without reading past its samples; anything else
// is a crash for the fuzzer to report.
inline void RequirePlayable(const TPcm& pcm) {
  if (pcm.channels < 1 || pcm.channels > 2 || pcm.rate <= 0 || pcm.samples.empty() ||
      pcm.samples.size() % size_t(pcm.channels) != 0 || pcm.samples.size() * 2 > kMaxPcmBytes)
    std::abort();
}
