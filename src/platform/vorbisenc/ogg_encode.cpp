#include "platform/vorbisenc/ogg_encode.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace {

void Append(std::vector<unsigned char>& out, const ogg_page& page) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

std::vector<unsigned char> EncodeOggVorbis(const std::vector<float>& interleaved, int channels,
                                           int rate, float quality, int serial,
                                           const TOggTags& tags) {
  std::vector<unsigned char> out;
  if (channels < 1) return out;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, quality) != 0) {
    vorbis_info_clear(&vi);
    return out;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  for (const auto& [tag, value] : tags) vorbis_comment_add_tag(&vc, tag.c_str(), value.c_str());
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, serial);

  // The three header packets go on pages of their own, before any audio.
  ogg_packet header, comment, code;
  vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comment);
  ogg_stream_packetin(&os, &code);
  ogg_page page;
  while (ogg_stream_flush(&os, &page)) Append(out, page);

  auto drain = [&]() {
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        while (ogg_stream_pageout(&os, &page)) Append(out, page);
      }
    }
  };
  const size_t frames = interleaved.size() / size_t(channels);
  const size_t chunk = 1024;
  for (size_t at = 0; at < frames; at += chunk) {
    const size_t n = std::min(chunk, frames - at);
    float** buffer = vorbis_analysis_buffer(&vd, int(n));
    for (size_t f = 0; f < n; ++f)
      for (int c = 0; c < channels; ++c) buffer[c][f] = interleaved[(at + f) * size_t(channels) + size_t(c)];
    vorbis_analysis_wrote(&vd, int(n));
    drain();
  }
  vorbis_analysis_wrote(&vd, 0);  // end of stream
  drain();
  while (ogg_stream_flush(&os, &page)) Append(out, page);

  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}
