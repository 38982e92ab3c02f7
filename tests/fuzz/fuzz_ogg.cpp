// Fuzzes the Ogg Vorbis reader: any bytes must give either no sound or a well-formed one.
#include "playable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPcm pcm;
  if (DecodeOgg(data, size, pcm)) RequirePlayable(pcm);
  return 0;
}
