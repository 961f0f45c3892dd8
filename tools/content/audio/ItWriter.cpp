#include "audio/ItWriter.h"

#include <algorithm>
#include <cmath>

#include "audio/Instruments.h"
#include "audio/ModuleBytes.h"

namespace {

constexpr double kToneRate = 32000.0;
constexpr double kDrumRate = 44100.0;
constexpr double kMaxSeconds = 4.0;
constexpr size_t kInstrumentSize = 554;
constexpr size_t kSampleHeaderSize = 80;

}  // namespace

bool WriteIt(const OSong& song, std::vector<unsigned char>& out, std::string& error) {
  if (song.channels > 64 || song.instruments.size() > 99 || song.patterns.size() > 200) {
    error = "too many channels, instruments or patterns for IT";
    return false;
  }
  for (const OPattern& p : song.patterns)
    if (p.rows < 32 || p.rows > 200) {
      error = "IT patterns have 32 to 200 rows: " + p.name;
      return false;
    }
  const size_t ordNum = song.order.size() + 1;  // with the end-of-song mark
  const size_t insNum = song.instruments.size(), patNum = song.patterns.size();
  OModuleBytes b;
  b.Text("IMPM", 4);
  b.Text(song.title, 26);
  b.U16(0x1004);  // row highlights: a beat of 4 rows, a bar of 16
  b.U16(static_cast<unsigned>(ordNum));
  b.U16(static_cast<unsigned>(insNum));
  b.U16(static_cast<unsigned>(insNum));  // one sample per instrument
  b.U16(static_cast<unsigned>(patNum));
  b.U16(0x0214);
  b.U16(0x0214);
  b.U16(1 | 4 | 8);  // stereo, instruments, linear slides
  b.U16(0);
  b.U8(128);  // global volume
  // Mix volume (the players' sample pre-amplification, 0..128): 96 brings the piece to the
  // game's music level, -20 dBFS RMS at the default music volume.
  b.U8(96);
  b.U8(static_cast<unsigned>(song.SpeedOfRow(0)));
  b.U8(static_cast<unsigned>(song.tempo));
  b.U8(128);  // panning separation
  b.U8(0);
  b.U16(0); b.U32(0); b.U32(0);  // no message
  for (int ch = 0; ch < 64; ++ch) b.U8(ch < song.channels ? 32 : 32 + 128);  // centre; unused off
  for (int ch = 0; ch < 64; ++ch) b.U8(64);
  if (b.Size() != 0xC0) {
    error = "IT header layout";
    return false;
  }
  for (int o : song.order) b.U8(static_cast<unsigned>(o));
  b.U8(255);
  const size_t offsets = b.Size();
  b.Zeros(4 * (insNum * 2 + patNum));

  const double tickSeconds = 2.5 / song.tempo;
  std::vector<OInstrumentSample> samples;
  std::vector<double> c5Speeds;
  for (size_t i = 0; i < insNum; ++i) {
    const OInstrumentRecipe& r = song.instruments[i];
    bool drum = r.IsDrum();
    double ref = drum ? kDrumNote : r.Get("ref", 60);
    samples.push_back(RenderInstrument(r, drum ? kDrumRate : kToneRate, NoteFrequency(ref), false, kMaxSeconds));
    c5Speeds.push_back(samples.back().rate * std::pow(2.0, (60.0 - ref) / 12.0));

    b.PatchU32(offsets + 4 * i, static_cast<std::uint32_t>(b.Size()));
    size_t start = b.Size();
    int releaseTicks = std::max(1, static_cast<int>(std::lround(r.Get("release", 0.15) / tickSeconds)));
    b.Text("IMPI", 4);
    b.Text("", 12);
    b.U8(0);
    b.U8(0);  // new note cuts the old one
    b.U8(0); b.U8(0);
    b.U16(256);  // fadeout (only after the envelope has already reached silence)
    b.U8(0); b.U8(60);
    b.U8(128);       // instrument global volume
    b.U8(32 + 128);  // default pan not used
    b.U8(0); b.U8(0);
    b.U16(0x0214);
    b.U8(1);
    b.U8(0);
    b.Text(r.name, 26);
    b.U8(0); b.U8(0);  // no filter
    b.U8(0); b.U8(0); b.U16(0);
    for (int note = 0; note < 120; ++note) {
      b.U8(static_cast<unsigned>(note));
      b.U8(static_cast<unsigned>(i + 1));
    }
    // Volume envelope: held at full on a sustain loop while the key is down, then falling to
    // silence over the release time after a note-off.
    b.U8(1 | 4);
    b.U8(2);
    b.U8(0); b.U8(0);  // loop
    b.U8(0); b.U8(0);  // sustain loop on node 0
    b.U8(64); b.U16(0);
    b.U8(0); b.U16(static_cast<unsigned>(releaseTicks));
    b.Zeros(23 * 3 + 1);
    for (int e = 0; e < 2; ++e) {  // panning and pitch envelopes off
      b.U8(0); b.U8(0);
      b.Zeros(4 + 25 * 3 + 1);
    }
    b.Zeros(start + kInstrumentSize - b.Size());
  }

  std::vector<size_t> samplePointers;
  for (size_t i = 0; i < insNum; ++i) {
    const OInstrumentRecipe& r = song.instruments[i];
    const OInstrumentSample& s = samples[i];
    b.PatchU32(offsets + 4 * (insNum + i), static_cast<std::uint32_t>(b.Size()));
    size_t start = b.Size();
    b.Text("IMPS", 4);
    b.Text("", 12);
    b.U8(0);
    b.U8(64);  // sample global volume
    b.U8(1 | 2 | (s.loopLength ? 0x10 : 0));  // present, 16-bit, looped
    b.U8(static_cast<unsigned>(std::clamp(r.Get("volume", 48), 0.0, 64.0)));
    b.Text(r.name, 26);
    b.U8(1);  // signed samples
    int pan = static_cast<int>(std::lround(32.0 + 32.0 * r.Get("pan", 0.0)));
    b.U8(r.params.count("pan") ? static_cast<unsigned>(std::clamp(pan, 0, 64) | 0x80) : 32);
    b.U32(static_cast<std::uint32_t>(s.data.size()));
    b.U32(static_cast<std::uint32_t>(s.loopStart));
    b.U32(static_cast<std::uint32_t>(s.loopStart + s.loopLength));
    b.U32(static_cast<std::uint32_t>(std::lround(c5Speeds[i])));
    b.U32(0); b.U32(0);  // no sustain loop
    samplePointers.push_back(b.Size());
    b.U32(0);
    b.U8(static_cast<unsigned>(std::clamp(r.Get("vibrate", 0.0), 0.0, 64.0)));
    b.U8(static_cast<unsigned>(std::clamp(r.Get("vib", 0.0) * 2.0, 0.0, 64.0)));
    b.U8(r.Get("vib", 0.0) > 0 ? 255 - static_cast<unsigned>(std::clamp(r.Get("vibsweep", 0.0), 0.0, 254.0)) : 0);
    b.U8(0);  // sine
    if (b.Size() - start != kSampleHeaderSize) {
      error = "IT sample header layout";
      return false;
    }
  }

  for (size_t i = 0; i < patNum; ++i) {
    const OPattern& p = song.patterns[i];
    b.PatchU32(offsets + 4 * (2 * insNum + i), static_cast<std::uint32_t>(b.Size()));
    OModuleBytes data;
    for (int row = 0; row < p.rows; ++row) {
      for (int ch = 0; ch < song.channels; ++ch) {
        const OCell& c = p.At(row, ch, song.channels);
        bool swing = ch == 0 && song.Swing();  // the shuffle sets the speed on every row
        if (c.note == OCell::NONE && !swing) continue;
        if (c.note > 119) {
          error = "note out of the IT range in pattern " + p.name;
          return false;
        }
        unsigned mask = 0;
        if (c.note != OCell::NONE) mask |= 1;
        if (c.note > 0 && c.instrument) mask |= 2;
        if (c.note > 0 && c.volume >= 0) mask |= 4;
        if (swing) mask |= 8;
        data.U8(static_cast<unsigned>(ch + 1) | 0x80);
        data.U8(mask);
        if (mask & 1) data.U8(c.note == OCell::OFF ? 255 : static_cast<unsigned>(c.note));  // C-5 is MIDI 60
        if (mask & 2) data.U8(static_cast<unsigned>(c.instrument));
        if (mask & 4) data.U8(static_cast<unsigned>(std::min(c.volume, 64)));
        if (swing) {
          data.U8(1);  // command A: set speed
          data.U8(static_cast<unsigned>(song.SpeedOfRow(row)));
        }
      }
      data.U8(0);  // end of row
    }
    b.U16(static_cast<unsigned>(data.Size()));
    b.U16(static_cast<unsigned>(p.rows));
    b.U32(0);
    b.bytes.insert(b.bytes.end(), data.bytes.begin(), data.bytes.end());
  }

  for (size_t i = 0; i < insNum; ++i) {
    b.PatchU32(samplePointers[i], static_cast<std::uint32_t>(b.Size()));
    for (float x : samples[i].data)
      b.U16(static_cast<std::uint16_t>(ToPcm16(x * static_cast<float>(song.gain))));
  }
  out = std::move(b.bytes);
  return true;
}
