// The WAV and Ogg Vorbis readers: the formats they take, and damaged files that must give no
// sound rather than a crash or a read past the end.
#include <gtest/gtest.h>

#include "platform/sound_decode.h"
#include "support/sound_fixtures.h"

namespace {

bool Decode(const std::vector<uint8_t>& bytes, TPcm& pcm) { return DecodeSound(bytes.data(), bytes.size(), pcm); }

void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = uint8_t(v >> (8 * i));
}

TEST(WavDecode, SixteenBitMonoAndStereoKeepTheirSamples) {
  TPcm pcm;
  ASSERT_TRUE(Decode(MakeWav(1, 22050, {0, 1000, -32768, 32767}), pcm));
  EXPECT_EQ(pcm.channels, 1);
  EXPECT_EQ(pcm.rate, 22050);
  EXPECT_EQ(pcm.samples, (std::vector<int16_t>{0, 1000, -32768, 32767}));

  ASSERT_TRUE(Decode(MakeWav(2, 44100, {1, 2, 3, 4, 5, 6}), pcm));
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_EQ(pcm.Frames(), 3u);
}

TEST(WavDecode, EightBitIsUnsignedAndWidenedToSixteen) {
  TPcm pcm;
  ASSERT_TRUE(Decode(TWavBuilder().Fmt(2, 8000, 8).Data({0, 128, 255, 129}).Bytes(), pcm));
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_EQ(pcm.samples, (std::vector<int16_t>{-32768, 0, 32512, 256}));
}

TEST(WavDecode, UnknownChunksAreSkippedAndOddOnesPadded) {
  TPcm pcm;
  auto bytes = TWavBuilder()
                   .Chunk("LIST", {1, 2, 3})  // odd: a pad byte follows
                   .Fmt(1, 11025, 16)
                   .Chunk("fact", {9, 9, 9, 9, 9})
                   .Data(Pcm16({7, -7}))
                   .Bytes();
  ASSERT_TRUE(Decode(bytes, pcm));
  EXPECT_EQ(pcm.samples, (std::vector<int16_t>{7, -7}));

  // A trailing partial frame is dropped, not read past.
  ASSERT_TRUE(Decode(TWavBuilder().Fmt(2, 8000, 16).Data({1, 0, 2, 0, 3}).Bytes(), pcm));
  EXPECT_EQ(pcm.samples, (std::vector<int16_t>{1, 2}));
}

TEST(WavDecode, ExtensibleFormatIsTakenOnlyWhenItWrapsPcm) {
  auto fmt = [](uint16_t sub) {
    std::vector<uint8_t> f = {0xFE, 0xFF, 1, 0, 0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0, 2, 0, 16, 0, 22, 0,
                              16, 0, 4, 0, 0, 0};
    f.push_back(uint8_t(sub));
    f.push_back(uint8_t(sub >> 8));
    f.resize(40, 0);
    return f;
  };
  TPcm pcm;
  EXPECT_TRUE(Decode(TWavBuilder().Chunk("fmt ", fmt(1)).Data(Pcm16({5})).Bytes(), pcm));
  EXPECT_EQ(pcm.rate, 8000);
  EXPECT_FALSE(Decode(TWavBuilder().Chunk("fmt ", fmt(3)).Data(Pcm16({5})).Bytes(), pcm));  // float
}

TEST(WavDecode, ARiffSizePastTheEndIsToleratedButAShorterOneLimitsTheRead) {
  auto bytes = MakeWav(1, 8000, {1, 2, 3});
  TPcm pcm;
  PutLe32(bytes, 4, 0xFFFFFFFFu);  // left unset by a streaming writer
  ASSERT_TRUE(Decode(bytes, pcm));
  EXPECT_EQ(pcm.Frames(), 3u);
  PutLe32(bytes, 4, 4 + 8 + 16);  // ends before the data chunk
  EXPECT_FALSE(Decode(bytes, pcm));
}

TEST(WavDecode, BrokenHeadersGiveNoSound) {
  const std::vector<uint8_t> data = Pcm16({1, 2, 3, 4});
  const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
      {"zero channels", TWavBuilder().Fmt(0, 8000, 16).Data(data).Bytes()},
      {"three channels", TWavBuilder().Fmt(3, 8000, 16).Data(data).Bytes()},
      {"zero rate", TWavBuilder().Fmt(1, 0, 16).Data(data).Bytes()},
      {"absurd rate", TWavBuilder().Fmt(1, 2000000000, 16).Data(data).Bytes()},
      {"24 bits", TWavBuilder().Fmt(1, 8000, 24).Data(data).Bytes()},
      {"compressed", TWavBuilder().Fmt(1, 8000, 16, 2).Data(data).Bytes()},
      {"short fmt", TWavBuilder().Chunk("fmt ", {1, 0, 1, 0}).Data(data).Bytes()},
      {"no fmt", TWavBuilder().Data(data).Bytes()},
      {"no data", TWavBuilder().Fmt(1, 8000, 16).Bytes()},
      {"empty data", TWavBuilder().Fmt(1, 8000, 16).Data({}).Bytes()},
      {"not WAVE", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}},
      {"empty", {}},
  };
  for (const auto& [name, bytes] : cases) {
    TPcm pcm;
    EXPECT_FALSE(Decode(bytes, pcm)) << name;
    EXPECT_TRUE(pcm.samples.empty()) << name;
  }
}

TEST(WavDecode, ChunkSizesPastTheEndAreRefused) {
  auto bytes = MakeWav(1, 8000, {1, 2, 3, 4});
  const size_t data_size_at = 12 + 8 + 16 + 4;
  TPcm pcm;
  for (uint32_t lie : {9u, 1000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    PutLe32(bytes, data_size_at, lie);
    EXPECT_FALSE(Decode(bytes, pcm)) << lie;
  }
  bytes = MakeWav(1, 8000, {1, 2, 3, 4});
  PutLe32(bytes, 16, 0xFFFFFFF0u);  // the fmt chunk's own size
  EXPECT_FALSE(Decode(bytes, pcm));
}

TEST(WavDecode, EveryTruncationOfAFileIsSafe) {
  const auto whole = TWavBuilder().Chunk("LIST", {1, 2, 3}).Fmt(2, 8000, 16).Data(Pcm16({1, 2, 3, 4})).Bytes();
  for (size_t n = 0; n < whole.size(); ++n) {
    // A copy of exactly n bytes, so that the sanitizers see any read past it.
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(n));
    TPcm pcm;
    EXPECT_FALSE(DecodeWav(cut.data(), cut.size(), pcm)) << n;
  }
}

TEST(WavDecode, DecodedSizeIsCapped) {
  // One byte more of 8-bit data than the cap allows once widened to 16 bits.
  std::vector<uint8_t> big(kMaxPcmBytes / 2 + 1, 128);
  TPcm pcm;
  EXPECT_FALSE(Decode(TWavBuilder().Fmt(1, 8000, 8).Data(big).Bytes(), pcm));
  big.resize(kMaxPcmBytes / 2);
  EXPECT_TRUE(Decode(TWavBuilder().Fmt(1, 8000, 8).Data(big).Bytes(), pcm));
}

TEST(OggDecode, EncodedToneComesBackWithItsLayoutAndLength) {
  const auto tone = Tone(22050, 2, 22050, 440, 16000);
  const auto ogg = MakeOgg(2, 22050, tone);
  ASSERT_GT(ogg.size(), 100u);
  TPcm pcm;
  ASSERT_TRUE(Decode(ogg, pcm));
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_EQ(pcm.rate, 22050);
  EXPECT_EQ(pcm.Frames(), 22050u);
  int peak = 0;
  for (int16_t s : pcm.samples) peak = std::max(peak, std::abs(int(s)));
  EXPECT_GT(peak, 12000);
  EXPECT_LT(peak, 20000);
}

TEST(OggDecode, BrokenFilesGiveNoSoundAndTruncationIsSafe) {
  const auto ogg = MakeOgg(1, 16000, Tone(16000, 1, 16000, 300, 10000));
  ASSERT_GT(ogg.size(), 200u);
  TPcm pcm;

  std::vector<uint8_t> garbage = {'O', 'g', 'g', 'S'};
  garbage.resize(4000, 0x5A);
  EXPECT_FALSE(Decode(garbage, pcm));

  std::vector<uint8_t> header_damaged = ogg;
  for (size_t i = 28; i < 60; ++i) header_damaged[i] ^= 0xFF;  // inside the identification header
  EXPECT_FALSE(Decode(header_damaged, pcm));

  // Cut anywhere: either nothing, or at most the frames of the whole file.
  for (size_t n = 0; n < ogg.size(); n += 97) {
    std::vector<uint8_t> cut(ogg.begin(), ogg.begin() + long(n));
    TPcm part;
    if (DecodeOgg(cut.data(), cut.size(), part)) {
      EXPECT_EQ(part.channels, 1);
      EXPECT_LE(part.Frames(), 16000u);
    } else {
      EXPECT_TRUE(part.samples.empty());
    }
  }
}

TEST(SoundDecode, PicksTheReaderByLeadingBytes) {
  TPcm pcm;
  EXPECT_TRUE(Decode(MakeOgg(1, 8000, Tone(800, 1, 8000, 200, 8000)), pcm));
  EXPECT_EQ(pcm.rate, 8000);
  EXPECT_TRUE(Decode(MakeWav(1, 11025, {3}), pcm));
  EXPECT_EQ(pcm.rate, 11025);
  const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'};
  EXPECT_FALSE(Decode(text, pcm));
}

}  // namespace
