// The sound readers. Every length in a file is checked against the bytes actually there before
// it is used, and the decoded size is capped, so a damaged or hostile file gives no sound rather
// than a crash or a huge allocation.
#include "platform/sound_decode.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kMaxRate = 768000;  // well above any real recording; guards the mixers' arithmetic

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

struct TWavFormat {
  int channels = 0;
  int rate = 0;
  int bits = 0;
};

// Reads a "fmt " chunk body; only plain PCM (also when wrapped as "extensible") is accepted.
bool ReadWavFormat(const uint8_t* p, size_t size, TWavFormat& fmt) {
  if (size < 16) return false;
  int tag = Le16(p);
  if (tag == 0xFFFE) {
    if (size < 40 || Le16(p + 24) != 1) return false;  // the sub-format must be PCM
  } else if (tag != 1) {
    return false;
  }
  fmt.channels = Le16(p + 2);
  uint32_t rate = Le32(p + 4);
  fmt.bits = Le16(p + 14);
  if (fmt.channels < 1 || fmt.channels > 2) return false;
  if (rate == 0 || rate > uint32_t(kMaxRate)) return false;
  if (fmt.bits != 8 && fmt.bits != 16) return false;
  fmt.rate = int(rate);
  return true;
}

}  // namespace

bool DecodeWav(const uint8_t* data, size_t size, TPcm& out) {
  out = TPcm();
  if (!data || size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
    return false;
  // The RIFF size may only shorten what we read; writers that leave it unset are common.
  size_t end = size;
  uint64_t riff_end = uint64_t(Le32(data + 4)) + 8;
  if (riff_end >= 12 && riff_end < end) end = size_t(riff_end);

  TWavFormat fmt;
  bool have_fmt = false;
  const uint8_t* samples = nullptr;
  size_t sample_bytes = 0;
  size_t pos = 12;
  while (end - pos >= 8) {
    const uint8_t* chunk = data + pos;
    size_t chunk_size = Le32(chunk + 4);
    if (chunk_size > end - pos - 8) return false;  // claims more than the file holds
    if (std::memcmp(chunk, "fmt ", 4) == 0 && !have_fmt) {
      if (!ReadWavFormat(chunk + 8, chunk_size, fmt)) return false;
      have_fmt = true;
    } else if (std::memcmp(chunk, "data", 4) == 0 && !samples) {
      samples = chunk + 8;
      sample_bytes = chunk_size;
    }
    // Chunks are padded to an even length; the pad byte may be missing after the last one.
    size_t step = 8 + chunk_size + (chunk_size & 1);
    if (step > end - pos) break;
    pos += step;
  }
  if (!have_fmt || !samples) return false;

  size_t bytes_per_sample = size_t(fmt.bits / 8);
  size_t count = sample_bytes / (bytes_per_sample * size_t(fmt.channels)) * size_t(fmt.channels);
  if (count == 0 || count > kMaxPcmBytes / sizeof(int16_t)) return false;
  out.samples.resize(count);
  for (size_t i = 0; i < count; ++i) {
    if (fmt.bits == 8)
      out.samples[i] = int16_t((int(samples[i]) - 128) * 256);  // 8-bit WAV is unsigned
    else
      out.samples[i] = int16_t(Le16(samples + 2 * i));
  }
  out.channels = fmt.channels;
  out.rate = fmt.rate;
  return true;
}

namespace {

// libvorbisfile reads through these from a block of memory.
struct TMemoryFile {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

size_t MemRead(void* dst, size_t size, size_t count, void* source) {
  auto* f = static_cast<TMemoryFile*>(source);
  if (size == 0) return 0;
  size_t items = std::min(count, (f->size - f->pos) / size);
  std::memcpy(dst, f->data + f->pos, items * size);
  f->pos += items * size;
  return items;
}

int MemSeek(void* source, ogg_int64_t offset, int whence) {
  auto* f = static_cast<TMemoryFile*>(source);
  ogg_int64_t base = 0;
  if (whence == SEEK_CUR) base = ogg_int64_t(f->pos);
  else if (whence == SEEK_END) base = ogg_int64_t(f->size);
  else if (whence != SEEK_SET) return -1;
  if (offset < -base || offset > ogg_int64_t(f->size) - base) return -1;
  f->pos = size_t(base + offset);
  return 0;
}

long MemTell(void* source) { return long(static_cast<TMemoryFile*>(source)->pos); }

// Owns an open decoder so every way out of DecodeOgg clears it.
class TVorbisFile {
 public:
  explicit TVorbisFile(TMemoryFile* file) {
    ov_callbacks callbacks{MemRead, MemSeek, nullptr, MemTell};
    open_ = ov_open_callbacks(file, &vf_, nullptr, 0, callbacks) == 0;
  }
  ~TVorbisFile() {
    if (open_) ov_clear(&vf_);
  }
  bool open() const { return open_; }
  OggVorbis_File* get() { return &vf_; }

 private:
  OggVorbis_File vf_{};
  bool open_ = false;
};

}  // namespace

bool DecodeOgg(const uint8_t* data, size_t size, TPcm& out) {
  out = TPcm();
  if (!data || size < 4 || std::memcmp(data, "OggS", 4) != 0) return false;
  TMemoryFile file{data, size, 0};
  TVorbisFile vorbis(&file);
  if (!vorbis.open()) return false;
  vorbis_info* info = ov_info(vorbis.get(), -1);
  if (!info || info->channels < 1 || info->channels > 2 || info->rate <= 0 || info->rate > kMaxRate)
    return false;
  const int channels = info->channels;
  const long rate = info->rate;

  TPcm pcm;
  char buffer[8192];
  for (;;) {
    int link = 0;
    long got = ov_read(vorbis.get(), buffer, sizeof buffer, 0, 2, 1, &link);
    if (got == 0) break;
    if (got == OV_HOLE) continue;  // a gap in the data; decoding resumes after it
    if (got < 0) return false;
    // A chained file may change its layout from one link to the next; we can't follow that.
    vorbis_info* now = ov_info(vorbis.get(), link);
    if (!now || now->channels != channels || now->rate != rate) return false;
    size_t values = size_t(got) / sizeof(int16_t);
    if ((pcm.samples.size() + values) * sizeof(int16_t) > kMaxPcmBytes) return false;
    size_t old = pcm.samples.size();
    pcm.samples.resize(old + values);
    std::memcpy(pcm.samples.data() + old, buffer, values * sizeof(int16_t));
  }
  pcm.samples.resize(pcm.samples.size() / size_t(channels) * size_t(channels));
  if (pcm.samples.empty()) return false;
  pcm.channels = channels;
  pcm.rate = int(rate);
  out = std::move(pcm);
  return true;
}

bool DecodeSound(const uint8_t* data, size_t size, TPcm& out) {
  if (data && size >= 4 && std::memcmp(data, "OggS", 4) == 0) return DecodeOgg(data, size, out);
  return DecodeWav(data, size, out);
}
