#include "audio/Instruments.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

double NoteFrequency(double midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0); }

bool OInstrumentRecipe::IsDrum() const {
  static const char* const drums[] = {"kick", "snare", "hat", "ohat", "clap",
                                      "tom",  "crash", "shaker", "rim"};
  for (const char* d : drums)
    if (kind == d) return true;
  return false;
}

namespace {

// Sine by table with linear interpolation: the harmonic sums below need hundreds of millions of
// values, too many for the library's sin. The table itself is computed once.
class OSineTable {
public:
  OSineTable() {
    for (int i = 0; i <= kSize; ++i) table[i] = static_cast<float>(std::sin(2.0 * kPi * i / kSize));
  }
  // `phase` in cycles, 0..1.
  float operator()(double phase) const {
    double x = phase * kSize;
    int i = static_cast<int>(x);
    float f = static_cast<float>(x - i);
    return table[i] + (table[i + 1] - table[i]) * f;
  }

private:
  static constexpr int kSize = 4096;
  float table[kSize + 1];
};

const OSineTable& Sine() {
  static const OSineTable table;
  return table;
}

// Relative amplitude of harmonic h (1-based) of a waveform, before the brightness filter.
double Harmonic(const OInstrumentRecipe& r, int h) {
  const std::string& k = r.kind;
  if (k == "saw") return 1.0 / h;
  if (k == "square") return h % 2 ? 1.0 / h : 0.0;
  if (k == "pulse") return std::sin(kPi * h * r.Get("duty", 0.25)) / h;
  if (k == "tri") return h % 2 ? ((h / 2) % 2 ? -1.0 : 1.0) / (h * h) : 0.0;
  if (k == "soft") return 1.0 / (h * h);
  if (k == "organ") {
    switch (h) {
      case 1: return 1.0;
      case 2: return 0.75;
      case 3: return 0.5;
      case 4: return 0.4;
      case 6: return 0.25;
      case 8: return 0.2;
      default: return 0.0;
    }
  }
  return h == 1 ? 1.0 : 0.0;  // "sine"
}

// Envelope shapes, rising linearly over `attack` and then settling exponentially so that they reach
// their final value exactly at `steady` (seconds), after which they hold it; this is what lets the
// rest of the sound loop without a seam.
double Settle(double t, double start, double constant, double from, double to, double steady) {
  if (t >= steady) return to;
  if (t <= start) return from;
  double e = std::exp(-(t - start) / constant), end = std::exp(-(steady - start) / constant);
  return to + (from - to) * (e - end) / (1.0 - end);
}

OInstrumentSample RenderTonal(const OInstrumentRecipe& r, double rate, double frequency,
                              bool evenLoop, double maxSeconds) {
  double attack = r.Get("attack", 0.005), decay = r.Get("decay", 0.3);
  double sustain = r.Get("sustain", 0.7);
  double cut0 = r.Get("cut0", 8000.0), cut1 = r.Get("cut1", 3000.0), ctime = r.Get("ctime", 0.2);
  double damp = r.Get("damp", 0.0), sub = r.Get("sub", 0.0);
  int voices = std::clamp(static_cast<int>(r.Get("voices", 1)), 1, 3);
  bool looped = sustain > 0.0;

  // The loop holds K whole cycles of the reference pitch in L samples; the detuned voices hold
  // K - 1 and K + 1, so they beat against it (a chorus) and still join up at the loop's end.
  double cents = r.Get("detune", 8.0);
  long K = voices > 1 ? std::lround(1731.0 / cents) : std::max(1L, std::lround(frequency * 0.05));
  if (sub > 0.0 && K % 2) K *= 2;  // the sub-octave needs K/2 whole cycles
  auto loopSamples = [&](long k) {
    long l = std::lround(k * rate / frequency);
    if (evenLoop && l % 2) ++l;
    return l;
  };
  long L = loopSamples(K);
  while (L > maxSeconds * rate * 0.5 && K > 4) {
    K = sub > 0.0 ? K / 2 + (K / 2) % 2 : K / 2;
    L = loopSamples(K);
  }
  double actual = K * rate / L;

  double steady = std::min(attack + 4.0 * std::max(decay, ctime), maxSeconds * 0.5);
  size_t loopStart = 0, total;
  if (looped) {
    // On a 32-sample boundary past the settling time, so that every looped sample is computed
    // from the settled spectrum (it is refreshed every 32 samples) and the loop has no seam.
    loopStart = (static_cast<size_t>(std::ceil(steady * rate)) + 31) / 32 * 32;
    total = loopStart + static_cast<size_t>(L);
  } else {
    total = static_cast<size_t>(std::min(maxSeconds, attack + decay * 6.0) * rate);
    steady = 1e9;  // a one-shot never settles
  }

  const int voiceCycles[3] = {0, 1, -1};
  const double voiceGain[3] = {1.0, 0.8, 0.8};
  int harmonics = 1;
  while (harmonics < 64 && (harmonics + 1) * actual * (1.0 + 1.0 / K) < rate * 0.45) ++harmonics;

  const bool fm = r.kind == "fm";
  double ratio = r.Get("ratio", 2.0), index0 = r.Get("index0", 3.0), index1 = r.Get("index1", 0.5);
  double itime = r.Get("itime", 0.3);
  const OSineTable& sine = Sine();
  std::vector<double> amp(harmonics + 1);

  OInstrumentSample out;
  out.data.assign(total, 0.0f);
  const std::uint64_t uL = static_cast<std::uint64_t>(L);
  for (size_t n = 0; n < total; ++n) {
    double t = n / rate, tf = looped && n >= loopStart ? steady : std::min(t, steady);
    if (n % 32 == 0 && !fm) {  // the spectrum changes slowly: refresh it every 32 samples
      double cutoff = Settle(tf, 0.0, ctime, cut0, cut1, steady);
      for (int h = 1; h <= harmonics; ++h) {
        double x = h * actual / cutoff;
        double a = Harmonic(r, h) / std::sqrt(1.0 + x * x * x * x);
        if (damp > 0.0) a *= std::exp(-tf * damp * (h - 1) / decay);
        amp[h] = a;
      }
    }
    double env = t < attack ? t / attack : Settle(tf, attack, decay, 1.0, sustain, steady);
    if (!looped) env = t < attack ? t / attack : std::exp(-(t - attack) / decay);
    double v = 0.0;
    for (int voice = 0; voice < voices; ++voice) {
      std::uint64_t cycles = static_cast<std::uint64_t>(K + voiceCycles[voice]);
      std::uint64_t base = cycles * n;
      double sum = 0.0;
      if (fm) {
        double index = Settle(tf, 0.0, itime, index0, index1, steady);
        double m = sine(static_cast<double>((base * static_cast<std::uint64_t>(ratio)) % uL) / L);
        double p = static_cast<double>(base % uL) / L + index * m / (2.0 * kPi);
        p -= std::floor(p);
        sum = sine(p);
      } else {
        for (int h = 1; h <= harmonics; ++h)
          if (amp[h] != 0.0)
            sum += amp[h] * sine(static_cast<double>((base * h) % uL) / L);
      }
      v += sum * voiceGain[voice];
    }
    if (sub > 0.0) v += sub * sine(static_cast<double>((static_cast<std::uint64_t>(K / 2) * n) % uL) / L);
    out.data[n] = static_cast<float>(v * env);
  }
  if (!looped) FadeEnds(out.data, rate, 0.0, 0.01);
  Normalise(out.data, 1.0f);
  out.loopStart = looped ? loopStart : 0;
  out.loopLength = looped ? static_cast<size_t>(L) : 0;
  out.rate = rate * frequency / actual;
  return out;
}

// Metallic noise: six square waves at unrelated frequencies, the usual body of cymbals.
double Metal(double t, double scale) {
  static const double f[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
  double v = 0.0;
  for (double x : f) v += std::fmod(t * x * scale, 1.0) < 0.5 ? 1.0 : -1.0;
  return v / 6.0;
}

OInstrumentSample RenderDrum(const OInstrumentRecipe& r, double rate) {
  const std::string& k = r.kind;
  double decay = r.Get("decay", 0.0), pitch = r.Get("pitch", 0.0), tone = r.Get("tone", 0.0);
  double length;
  if (k == "kick") length = 0.45;
  else if (k == "crash") length = 1.6;
  else if (k == "ohat") length = 0.5;
  else if (k == "tom") length = 0.6;
  else length = 0.3;
  OSignal s(static_cast<size_t>(length * rate), 0.0f);
  ONoise noise(static_cast<std::uint32_t>(k.size() * 7919 + k[0]));
  OBiquad f1(OBiquad::HIGHPASS, rate), f2(OBiquad::BANDPASS, rate);
  double phase = 0.0;
  for (size_t n = 0; n < s.size(); ++n) {
    double t = n / rate, v = 0.0;
    if (k == "kick") {
      double p = pitch > 0 ? pitch : 50.0;
      phase += p * (1.0 + 2.5 * Decay(t, 0.03)) / rate;
      v = std::sin(2.0 * kPi * phase) * AttackDecay(t, 0.001, decay > 0 ? decay : 0.18);
      if (n == 0) f2.Set(3000, 1.0);
      v += f2.Process(noise.Next()) * Decay(t, 0.003) * 0.6;
      v = std::tanh(1.5 * v);
    } else if (k == "snare") {
      if (n == 0) { f1.Set(tone > 0 ? tone : 1500, 0.7); f2.Set(5000, 0.8); }
      phase += 185.0 * (1.0 + 0.3 * Decay(t, 0.01)) / rate;
      v = std::sin(2.0 * kPi * phase) * Decay(t, 0.06) * 0.8;
      v += f1.Process(noise.Next()) * AttackDecay(t, 0.001, decay > 0 ? decay : 0.12);
    } else if (k == "hat" || k == "ohat") {
      if (n == 0) { f1.Set(tone > 0 ? tone : 7000, 0.8); f2.Set(10000, 1.0); }
      double d = decay > 0 ? decay : (k == "hat" ? 0.035 : 0.2);
      v = f1.Process(static_cast<float>(noise.Next() * 0.6 + Metal(t, 12.0) * 0.6)) * AttackDecay(t, 0.001, d);
    } else if (k == "clap") {
      if (n == 0) f2.Set(tone > 0 ? tone : 1200, 1.2);
      double e = 0.0;
      for (int b = 0; b < 3; ++b) e += AttackDecay(t - b * 0.011, 0.001, 0.006);
      e += AttackDecay(t - 0.033, 0.002, decay > 0 ? decay : 0.09);
      v = f2.Process(noise.Next()) * e * 2.0;
    } else if (k == "tom") {
      double p = pitch > 0 ? pitch : 110.0;
      phase += p * (1.0 + 0.6 * Decay(t, 0.05)) / rate;
      v = std::sin(2.0 * kPi * phase) * AttackDecay(t, 0.002, decay > 0 ? decay : 0.22);
      if (n == 0) f2.Set(2000, 1.0);
      v += f2.Process(noise.Next()) * Decay(t, 0.01) * 0.3;
    } else if (k == "crash") {
      if (n == 0) f1.Set(tone > 0 ? tone : 3500, 0.7);
      v = f1.Process(static_cast<float>(noise.Next() * 0.7 + Metal(t, 6.3) * 0.5)) *
          AttackDecay(t, 0.002, decay > 0 ? decay : 0.5);
    } else if (k == "shaker") {
      if (n == 0) f2.Set(tone > 0 ? tone : 6500, 1.5);
      v = f2.Process(noise.Next()) * AttackDecay(t, 0.012, decay > 0 ? decay : 0.05) * 2.0;
    } else {  // rim
      if (n == 0) f2.Set(tone > 0 ? tone : 1700, 4.0);
      v = f2.Process(noise.Next()) * Decay(t, 0.01) * 2.0 + std::sin(2.0 * kPi * 800 * t) * Decay(t, 0.008);
    }
    s[n] = static_cast<float>(v);
  }
  FadeEnds(s, rate, 0.0, 0.02);
  Normalise(s, 1.0f);
  OInstrumentSample out;
  out.data = std::move(s);
  out.rate = rate;
  return out;
}

}  // namespace

OInstrumentSample RenderInstrument(const OInstrumentRecipe& recipe, double rate, double frequency,
                                   bool evenLoop, double maxSeconds) {
  if (recipe.IsDrum()) return RenderDrum(recipe, rate);
  return RenderTonal(recipe, rate, frequency, evenLoop, maxSeconds);
}
