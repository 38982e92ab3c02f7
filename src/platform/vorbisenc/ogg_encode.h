// Ogg Vorbis encoding with libvorbisenc. The stream's serial number is the caller's and nothing
// depends on the time, so the same samples always give the same bytes.
#pragma once
#include <string>
#include <utility>
#include <vector>

using TOggTags = std::vector<std::pair<std::string, std::string>>;

// Encodes interleaved samples in [-1, 1] for the given channels at a variable bit rate of the
// given quality (-0.1 .. 1), with the tags as the stream's comments. Empty when libvorbisenc
// refuses the format.
std::vector<unsigned char> EncodeOggVorbis(const std::vector<float>& interleaved, int channels,
                                           int rate, float quality, int serial,
                                           const TOggTags& tags = {});
