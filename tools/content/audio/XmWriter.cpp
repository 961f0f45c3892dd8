#include "audio/XmWriter.h"

#include <algorithm>
#include <cmath>

#include "audio/Instruments.h"
#include "audio/ModuleBytes.h"

namespace {

// Tonal instruments are rendered at 32 kHz (the loops stay short, the highs reach 14 kHz); drums
// at 44.1 kHz for crisp cymbals.
constexpr double kToneRate = 32000.0;
constexpr double kDrumRate = 44100.0;
constexpr double kMaxSeconds = 4.0;

// Every part is written twice, on two channels playing the same notes: XM has no master level
// that players honour, and two identical voices sum to twice the amplitude (+6 dB), which brings
// the pieces to the game's music level (-20 dBFS RMS at the default music volume) without giving
// up the samples' full scale.
constexpr int kUnison = 2;

// XM note numbers: 1 is C-0 (MIDI 12), 97 is key-off.
int XmNote(int midi) { return midi - 11; }

}  // namespace

bool WriteXm(const OSong& song, std::vector<unsigned char>& out, std::string& error) {
  if (song.channels * kUnison > 32 || song.instruments.size() > 128 || song.patterns.size() > 256) {
    error = "too many channels, instruments or patterns for XM";
    return false;
  }
  const int channels = song.channels * kUnison;  // even, as the format prefers
  OModuleBytes b;
  b.Text("Extended Module: ", 17);
  b.Text(song.title, 20);
  b.U8(0x1A);
  b.Text("brikon-content", 20);
  b.U16(0x0104);
  b.U32(276);  // header size from here: 20 bytes of fields and the 256-entry order table
  b.U16(static_cast<unsigned>(song.order.size()));
  b.U16(0);  // restart position (unused: the module ends)
  b.U16(static_cast<unsigned>(channels));
  b.U16(static_cast<unsigned>(song.patterns.size()));
  b.U16(static_cast<unsigned>(song.instruments.size()));
  b.U16(1);  // linear frequency table
  b.U16(static_cast<unsigned>(song.SpeedOfRow(0)));
  b.U16(static_cast<unsigned>(song.tempo));
  for (int i = 0; i < 256; ++i) b.U8(i < static_cast<int>(song.order.size()) ? song.order[i] : 0);

  for (const OPattern& p : song.patterns) {
    OModuleBytes data;
    for (int row = 0; row < p.rows; ++row)
      for (int ch = 0; ch < channels; ++ch) {
        const OCell& c = p.At(row, ch % song.channels, song.channels);
        if (c.note != OCell::NONE && (c.note != OCell::OFF) && (XmNote(c.note) < 1 || XmNote(c.note) > 96)) {
          error = "note out of the XM range in pattern " + p.name;
          return false;
        }
        bool swing = ch == 0 && song.Swing();  // the shuffle sets the speed on every row
        unsigned flags = 0x80;
        if (c.note != OCell::NONE) flags |= 1;
        if (c.instrument && c.note > 0) flags |= 2;
        if (c.volume >= 0 && c.note > 0) flags |= 4;
        if (swing) flags |= 8 | 16;
        data.U8(flags);
        if (flags & 1) data.U8(c.note == OCell::OFF ? 97 : XmNote(c.note));
        if (flags & 2) data.U8(c.instrument);
        if (flags & 4) data.U8(0x10 + std::min(c.volume, 64));
        if (swing) {
          data.U8(0x0F);  // set speed
          data.U8(static_cast<unsigned>(song.SpeedOfRow(row)));
        }
      }
    b.U32(9);  // pattern header length
    b.U8(0);   // packing type
    b.U16(static_cast<unsigned>(p.rows));
    b.U16(static_cast<unsigned>(data.Size()));
    b.bytes.insert(b.bytes.end(), data.bytes.begin(), data.bytes.end());
  }

  const double tickSeconds = 2.5 / song.tempo;
  for (const OInstrumentRecipe& r : song.instruments) {
    bool drum = r.IsDrum();
    double ref = drum ? kDrumNote : r.Get("ref", 60);
    // The sample's pitch is given as relative note + finetune from 8363 Hz at C-4 (middle C).
    // Finetune counts 1/128 semitone but FT2 resolves only 1/16, so the sample is rendered at a
    // rate whose middle C falls on that coarser grid.
    double shift = std::pow(2.0, (60.0 - ref) / 12.0);
    double nominal = drum ? kDrumRate : kToneRate;
    double steps = std::round(192.0 * std::log2(nominal * shift / 8363.0));
    double rate = 8363.0 * std::pow(2.0, steps / 192.0) / shift;
    OInstrumentSample s = RenderInstrument(r, rate, NoteFrequency(ref), false, kMaxSeconds);
    double c4Rate = s.rate * shift;
    long total = 8 * std::lround(192.0 * std::log2(c4Rate / 8363.0));  // in 1/128 semitone
    long relative = std::lround(total / 128.0);
    long finetune = total - relative * 128;  // -64..64, a multiple of 8
    int releaseTicks = std::max(1, static_cast<int>(std::lround(r.Get("release", 0.15) / tickSeconds)));

    size_t start = b.Size();
    b.U32(263);  // instrument header size
    b.Text(r.name, 22);
    b.U8(0);
    b.U16(1);   // one sample
    b.U32(40);  // sample header size
    b.Zeros(96);  // every note plays sample 0
    // Volume envelope: full while the key is held (sustain on point 0), then down to silence over
    // the release time after a note-off.
    b.U16(0); b.U16(64);
    b.U16(static_cast<unsigned>(releaseTicks)); b.U16(0);
    b.Zeros(40);
    b.Zeros(48);  // panning envelope
    b.U8(2);      // volume envelope points
    b.U8(0);      // panning envelope points
    b.U8(0);      // sustain point
    b.U8(0); b.U8(0);  // loop start and end
    b.U8(0); b.U8(0); b.U8(0);
    b.U8(1 | 2);  // volume envelope on, with sustain
    b.U8(0);
    b.U8(0);  // vibrato type: sine
    b.U8(static_cast<unsigned>(r.Get("vibsweep", 0)));
    b.U8(static_cast<unsigned>(std::clamp(r.Get("vib", 0.0), 0.0, 15.0)));
    b.U8(static_cast<unsigned>(std::clamp(r.Get("vibrate", 0.0), 0.0, 63.0)));
    b.U16(0);  // fadeout: the envelope does the release
    b.Zeros(start + 263 - b.Size());

    const size_t n = s.data.size();
    b.U32(static_cast<std::uint32_t>(n * 2));
    b.U32(static_cast<std::uint32_t>(s.loopStart * 2));
    b.U32(static_cast<std::uint32_t>(s.loopLength * 2));
    b.U8(static_cast<unsigned>(std::clamp(r.Get("volume", 48), 0.0, 64.0)));
    b.U8(static_cast<unsigned>(static_cast<std::uint8_t>(static_cast<std::int8_t>(finetune))));
    b.U8((s.loopLength ? 1 : 0) | 0x10);  // forward loop, 16-bit
    b.U8(static_cast<unsigned>(std::clamp(128.0 + 127.0 * r.Get("pan", 0.0), 0.0, 255.0)));
    b.U8(static_cast<unsigned>(static_cast<std::uint8_t>(static_cast<std::int8_t>(relative))));
    b.U8(0);
    b.Text(r.name, 22);
    std::int16_t previous = 0;
    for (float x : s.data) {
      std::int16_t v = ToPcm16(x * static_cast<float>(song.gain));
      b.U16(static_cast<std::uint16_t>(static_cast<std::int16_t>(v - previous)));
      previous = v;
    }
  }
  out = std::move(b.bytes);
  return true;
}
