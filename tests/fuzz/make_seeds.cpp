// Writes the WAV and Ogg fuzzers' seed files into the folder given (corpus/wav/, corpus/ogg/):
// a few tiny sounds in each layout the readers take, made by the tests' own builders so that no
// opaque sample files are kept in the repository.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/vorbisenc/ogg_encode.h"
#include "support/sound_fixtures.h"

namespace {

std::vector<float> Floats(const std::vector<int16_t>& samples) {
  std::vector<float> out;
  for (int16_t s : samples) out.push_back(s / 32768.0f);
  return out;
}

// A "fmt " chunk in the extensible layout, with PCM as its sub-format.
std::vector<uint8_t> ExtensibleFormat(int channels, int rate) {
  TWavBuilder plain;
  plain.Fmt(channels, rate, 16, 0xFFFE);
  std::vector<uint8_t> f(plain.body.begin() + 8, plain.body.end());  // the chunk's 16 bytes
  const uint8_t tail[24] = {22, 0, 16, 0, 3, 0, 0, 0, 1, 0};  // size, valid bits, mask, PCM ...
  f.insert(f.end(), tail, tail + sizeof tail);
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path root = argv[1];
  fs::create_directories(root / "wav");
  fs::create_directories(root / "ogg");

  const std::vector<int16_t> mono = Tone(64, 1, 8000, 440, 12000);
  const std::vector<int16_t> stereo = Tone(48, 2, 11025, 660, 20000);
  std::vector<uint8_t> bytes8;  // unsigned 8-bit samples
  for (int16_t s : stereo) bytes8.push_back(uint8_t(128 + s / 256));

  bool ok = WriteBytes(root / "wav/mono16.wav", MakeWav(1, 8000, mono));
  // An odd-sized chunk the reader must skip (with its pad byte) before the format.
  ok &= WriteBytes(root / "wav/stereo8_list.wav",
                   TWavBuilder().Chunk("LIST", {'I', 'N', 'F', 'O', 'x'}).Fmt(2, 11025, 8).Data(bytes8).Bytes());
  ok &= WriteBytes(root / "wav/extensible.wav",
                   TWavBuilder().Chunk("fmt ", ExtensibleFormat(2, 11025)).Data(Pcm16(stereo)).Bytes());

  const std::vector<unsigned char> first = EncodeOggVorbis(Floats(mono), 1, 8000, 0.0f, 1);
  const std::vector<unsigned char> second = EncodeOggVorbis(Floats(stereo), 2, 11025, 0.0f, 2);
  std::vector<uint8_t> chained(first.begin(), first.end());  // two streams of different layouts
  chained.insert(chained.end(), second.begin(), second.end());
  ok &= WriteBytes(root / "ogg/mono.ogg", {first.begin(), first.end()});
  ok &= WriteBytes(root / "ogg/stereo.ogg", {second.begin(), second.end()});
  ok &= WriteBytes(root / "ogg/chained.ogg", chained);
  return ok && !first.empty() && !second.empty() ? 0 : 1;
}
