#pragma once
// Reading the effect files: RIFF/WAVE containers holding uncompressed PCM. Plain functions over
// bytes so that any file, however damaged, can be checked without an audio device.
#include <cstddef>
#include <vector>

#include "core/Types.h"

// What a WAV file says about its samples, and where they are.
struct OWavInfo {
  u16 formatTag = 0;      // 1 = PCM (a WAVE_FORMAT_EXTENSIBLE file reports its sub-format here)
  u16 channels = 0;       // 1 or 2
  u32 sampleRate = 0;     // frames per second
  u16 bitsPerSample = 0;  // 8 (unsigned) or 16 (signed little-endian)
  u16 blockAlign = 0;     // bytes per frame
  size_t dataOffset = 0;  // first sample byte in the file
  size_t dataSize = 0;    // sample bytes present in the file, whole frames only
};

// Walks the chunks of a RIFF/WAVE file (any chunk order, unknown chunks skipped, odd sizes padded)
// and fills `info` from the first "fmt " and "data" chunks. The data chunk is cut to the bytes the
// file really holds and to whole frames, so header bytes are never taken for samples. False for
// anything that cannot be played as it is: not RIFF/WAVE, no format or data, not PCM, other than
// 1 or 2 channels of 8 or 16 bits, an inconsistent frame size, a rate outside 1000..192000 Hz, or
// no whole frame of samples.
bool ParseWav(const u8* bytes, size_t size, OWavInfo& info);

// Converts the samples of a parsed file to the mixer's output format (44100 Hz, signed 16-bit,
// stereo). False when the conversion cannot be built.
bool ConvertWavToOutput(const u8* bytes, const OWavInfo& info, std::vector<u8>& out);
