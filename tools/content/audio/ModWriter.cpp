#include "audio/ModWriter.h"

#include <algorithm>
#include <cmath>

#include "audio/Instruments.h"
#include "audio/ModuleBytes.h"

namespace {

// Amiga periods of the three octaves C-1..B-3 (no finetune).
const unsigned kPeriods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                               428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
                               214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};
// The PAL Amiga clock the players divide by a period to get a sample rate.
constexpr double kPaulaClock = 3546895.0;
// Samples are rendered at the rate of C-3, the top octave, so that even the highest notes keep
// their overtones; lower notes play the same data more slowly.
constexpr int kRenderIndex = 24;
constexpr double kMaxSeconds = 3.5;  // a MOD sample holds at most 128 KiB

}  // namespace

bool WriteMod(const OSong& song, std::vector<unsigned char>& out, std::string& error) {
  if (song.channels != 4 || song.instruments.size() > 31 || song.order.size() > 128) {
    error = "a MOD has exactly 4 channels, at most 31 instruments and 128 orders";
    return false;
  }
  // The lowest MIDI note each instrument plays becomes an octave base: note m plays as m - base.
  const size_t count = song.instruments.size();
  std::vector<int> low(count, 999), high(count, -1);
  int lastPattern = 0;
  for (int o : song.order) lastPattern = std::max(lastPattern, o);
  for (int o : song.order) {
    const OPattern& p = song.patterns[o];
    if (p.rows != 64) {
      error = "MOD patterns have 64 rows: " + p.name;
      return false;
    }
    for (const OCell& c : p.cells)
      if (c.note > 0 && c.instrument) {
        low[c.instrument - 1] = std::min(low[c.instrument - 1], c.note);
        high[c.instrument - 1] = std::max(high[c.instrument - 1], c.note);
      }
  }
  std::vector<int> base(count, 0);
  for (size_t i = 0; i < count; ++i) {
    if (song.instruments[i].IsDrum() || high[i] < 0) {
      base[i] = kDrumNote - kRenderIndex;
      continue;
    }
    base[i] = std::max(0, (high[i] - 35 + 11) / 12 * 12);
    if (low[i] < base[i]) {
      error = "instrument " + song.instruments[i].name + " spans more than three octaves";
      return false;
    }
  }

  OModuleBytes b;
  b.Text(song.title, 20);
  std::vector<OInstrumentSample> samples;
  const double renderRate = kPaulaClock / kPeriods[kRenderIndex];
  for (size_t i = 0; i < 31; ++i) {
    if (i >= count) {
      b.Zeros(22); b.U16BE(0); b.U8(0); b.U8(0); b.U16BE(0); b.U16BE(1);
      continue;
    }
    const OInstrumentRecipe& r = song.instruments[i];
    samples.push_back(RenderInstrument(r, renderRate, NoteFrequency(base[i] + kRenderIndex), true, kMaxSeconds));
    const OInstrumentSample& s = samples.back();
    b.Text(r.name, 22);
    b.U16BE(static_cast<unsigned>((s.data.size() + 1) / 2));
    b.U8(0);  // finetune: the sample itself is in tune
    b.U8(static_cast<unsigned>(std::clamp(r.Get("volume", 48), 0.0, 64.0)));
    b.U16BE(static_cast<unsigned>(s.loopLength ? s.loopStart / 2 : 0));
    b.U16BE(static_cast<unsigned>(s.loopLength ? s.loopLength / 2 : 1));
  }
  b.U8(static_cast<unsigned>(song.order.size()));
  b.U8(127);
  for (int i = 0; i < 128; ++i) b.U8(i < static_cast<int>(song.order.size()) ? song.order[i] : 0);
  b.Text("M.K.", 4);

  for (int pi = 0; pi <= lastPattern; ++pi) {
    const OPattern& p = song.patterns[pi];
    const bool first = pi == song.order[0];
    for (int row = 0; row < 64; ++row) {
      unsigned period[4] = {}, sample[4] = {}, effect[4] = {}, param[4] = {};
      for (int ch = 0; ch < 4; ++ch) {
        const OCell& c = p.At(row, ch, 4);
        if (c.note > 0) {
          int k = c.note - base[c.instrument - 1];
          if (k < 0 || k > 35) {
            error = "note outside the MOD range in pattern " + p.name;
            return false;
          }
          period[ch] = kPeriods[k];
          sample[ch] = static_cast<unsigned>(c.instrument);
          if (c.volume >= 0) {
            effect[ch] = 0xC;
            param[ch] = static_cast<unsigned>(std::min(c.volume, 64));
          }
        } else if (c.note == OCell::OFF) {
          effect[ch] = 0xC;  // cut to silence: MOD has no envelopes to release
        }
      }
      // Speed and tempo are set on the first row played, and a shuffle sets the speed on every
      // row; each takes a free effect slot. On the first row a release has nothing to release
      // yet, so it gives way when the row is short of free slots.
      std::vector<unsigned> speeds;
      if (first && row == 0) {
        speeds.push_back(static_cast<unsigned>(song.SpeedOfRow(0)));
        speeds.push_back(static_cast<unsigned>(song.tempo));
      } else if (song.Swing()) {
        speeds.push_back(static_cast<unsigned>(song.SpeedOfRow(row)));
      }
      for (unsigned value : speeds) {
        int slot = -1;
        for (int ch = 0; ch < 4 && slot < 0; ++ch)
          if (effect[ch] == 0) slot = ch;
        for (int ch = 0; ch < 4 && slot < 0 && first && row == 0; ++ch)
          if (effect[ch] == 0xC && period[ch] == 0) slot = ch;
        if (slot < 0) {
          error = "no free effect slot for speed or tempo on row " + std::to_string(row) + " of pattern " + p.name;
          return false;
        }
        effect[slot] = 0xF;
        param[slot] = value;
      }
      for (int ch = 0; ch < 4; ++ch) {
        b.U8((sample[ch] & 0xF0) | (period[ch] >> 8));
        b.U8(period[ch] & 0xFF);
        b.U8(((sample[ch] & 0x0F) << 4) | effect[ch]);
        b.U8(param[ch]);
      }
    }
  }
  for (const OInstrumentSample& s : samples) {
    for (float x : s.data) b.U8(static_cast<std::uint8_t>(ToPcm8(x * static_cast<float>(song.gain))));
    if (s.data.size() % 2) b.U8(0);
  }
  out = std::move(b.bytes);
  return true;
}
