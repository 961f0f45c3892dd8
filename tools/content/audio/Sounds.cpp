// The game's sound effects, synthesised: every effect is a few lines of oscillators, noise and
// envelopes, rendered at 44.1 kHz mono and normalised to its own peak level.
#include <algorithm>
#include <cmath>
#include <string>

#include "Content.h"
#include "audio/Dsp.h"

namespace {

constexpr double kRate = 44100.0;
// The peak of each effect, in dBFS, is its place in the mix. Every effect stays at -6 dBFS or
// below on its own, so that a few of them over the music (at -20 dBFS RMS) rarely reach full
// scale; the sounds heard many times a second (hits, the bat, rockets) sit lower still, and the
// rare big moments (jingles, the bomb) highest.

OSignal Silence(double seconds) { return OSignal(static_cast<size_t>(seconds * kRate), 0.0f); }

double Frequency(double midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0); }

// A band-limited square-ish tone: odd harmonics under the Nyquist limit (phase in cycles).
double SoftSquare(double phase, double frequency) {
  double v = 0.0;
  for (int h = 1; h * frequency < kRate * 0.45 && h <= 15; h += 2)
    v += std::sin(2.0 * kPi * h * phase) / h;
  return v * 0.9;
}

// Brick hit: a bright wooden "tock": a sine dropping in pitch over a click of band-passed noise.
OSignal HitBlock() {
  OSignal s = Silence(0.16);
  ONoise noise(11);
  OBiquad band(OBiquad::BANDPASS, kRate);
  band.Set(3200, 2.0);
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = i / kRate;
    double f = 1250.0 * (1.0 + 0.6 * Decay(t, 0.006));
    phase += f / kRate;
    double body = std::sin(2.0 * kPi * phase) * Decay(t, 0.035);
    double overtone = std::sin(2.0 * kPi * phase * 2.76) * Decay(t, 0.012) * 0.4;
    double click = band.Process(noise.Next()) * Decay(t, 0.004) * 3.0;
    s[i] = static_cast<float>(body + overtone + click);
  }
  return s;
}

// Ball against a wall: a duller, lower knock than a brick, mostly low sine and soft noise.
OSignal HitWall() {
  OSignal s = Silence(0.14);
  ONoise noise(23);
  OBiquad low(OBiquad::LOWPASS, kRate);
  low.Set(900, 0.8);
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = i / kRate;
    double f = 330.0 + 300.0 * Decay(t, 0.01);
    phase += f / kRate;
    double body = std::sin(2.0 * kPi * phase) * AttackDecay(t, 0.001, 0.04);
    double thump = low.Process(noise.Next()) * Decay(t, 0.015) * 1.5;
    s[i] = static_cast<float>(body + thump);
  }
  return s;
}

// Ball on the bat: a springy "boing" whose pitch bends up then settles; three variants differ in
// pitch and in the ring of their overtone so that a rally never sounds mechanical.
OSignal BallBat(double note, double ring) {
  OSignal s = Silence(0.24);
  ONoise noise(31 + static_cast<int>(note));
  OBiquad band(OBiquad::BANDPASS, kRate);
  band.Set(1800, 1.5);
  double base = Frequency(note), phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = i / kRate;
    double f = base * (1.0 + 0.25 * (1.0 - Decay(t, 0.02)) - 0.1 * Decay(t, 0.003));
    phase += f / kRate;
    double env = AttackDecay(t, 0.002, 0.06);
    double tone = std::sin(2.0 * kPi * phase) + ring * std::sin(2.0 * kPi * phase * 3.0) * Decay(t, 0.03);
    double hit = band.Process(noise.Next()) * Decay(t, 0.003) * 2.0;
    s[i] = static_cast<float>(tone * env + hit);
  }
  return s;
}

// Menu click: a very short high tick, quieter in body than any game sound.
OSignal ClickMenu() {
  OSignal s = Silence(0.05);
  ONoise noise(41);
  OBiquad high(OBiquad::HIGHPASS, kRate);
  high.Set(2500, 0.7);
  for (size_t i = 0; i < s.size(); ++i) {
    double t = i / kRate;
    double tick = std::sin(2.0 * kPi * 2100.0 * t) * Decay(t, 0.008);
    double snap = high.Process(noise.Next()) * Decay(t, 0.002);
    s[i] = static_cast<float>(tick + snap);
  }
  return s;
}

// Plays a list of notes (MIDI numbers) as a square-wave arpeggio; `step` seconds apart, each with
// its own decay, with an optional vibrato depth in semitones.
OSignal Arpeggio(const int* notes, int count, double step, double decay, double length,
                 double vibrato) {
  OSignal s = Silence(length);
  for (int n = 0; n < count; ++n) {
    double f = Frequency(notes[n]), phase = 0.0;
    size_t start = static_cast<size_t>(n * step * kRate);
    for (size_t i = start; i < s.size(); ++i) {
      double t = (i - start) / kRate;
      double v = 1.0 + vibrato * (std::pow(2.0, std::sin(2.0 * kPi * 6.0 * t) / 12.0) - 1.0);
      phase += f * v / kRate;
      double env = AttackDecay(t, 0.004, decay);
      s[i] += static_cast<float>((SoftSquare(phase, f) * 0.6 + std::sin(2.0 * kPi * phase) * 0.5) * env);
    }
  }
  return s;
}

// Bonus caught: a quick bright major arpeggio going up.
OSignal GetBonus() {
  static const int notes[] = {72, 76, 79, 84, 88};
  return Arpeggio(notes, 5, 0.055, 0.12, 0.55, 0.0);
}

// A sweep from one pitch to another (Hz, exponential) through a resonant low-pass whose cutoff
// follows the pitch; used for the bat growing and shrinking.
OSignal Sweep(double from, double to, double length, double wobble, std::uint32_t seed) {
  OSignal s = Silence(length);
  OBiquad low(OBiquad::LOWPASS, kRate);
  ONoise noise(seed);
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = i / kRate, u = t / length;
    double f = from * std::pow(to / from, u) * (1.0 + wobble * std::sin(2.0 * kPi * 11.0 * t));
    phase += f / kRate;
    double saw = 0.0;
    for (int h = 1; h <= 12 && h * f < kRate * 0.45; ++h) saw += std::sin(2.0 * kPi * h * phase) / h;
    low.Set(f * 4.0, 3.0);
    double env = AttackDecay(t, 0.01, length * 0.6) * (1.0 - u);
    s[i] = static_cast<float>(low.Process(static_cast<float>(saw + 0.05 * noise.Next())) * env);
  }
  return s;
}

// Bat made smaller: a falling, shrinking "wheoo".
OSignal SmallPlayer() { return Sweep(900.0, 180.0, 0.55, 0.04, 61); }
// Bat made larger: a rising, wobbling swell.
OSignal ExpandPlayer() { return Sweep(160.0, 820.0, 0.55, 0.06, 71); }

// Ball lost: two falling minor notes on a soft lead with a sinking pitch at the end.
OSignal BallLost() {
  OSignal s = Silence(0.95);
  const double notes[] = {67, 63};
  for (int n = 0; n < 2; ++n) {
    size_t start = static_cast<size_t>(n * 0.22 * kRate);
    double phase = 0.0;
    for (size_t i = start; i < s.size(); ++i) {
      double t = (i - start) / kRate;
      double bend = n == 1 ? -3.0 * std::max(0.0, t - 0.25) : 0.0;
      double f = Frequency(notes[n] + bend);
      phase += f / kRate;
      double env = AttackDecay(t, 0.01, n == 1 ? 0.25 : 0.09);
      s[i] += static_cast<float>((SoftSquare(phase, f) * 0.5 + std::sin(2.0 * kPi * phase)) * env);
    }
  }
  return s;
}

// A soft brass-like chord tone (sum of sawtooth harmonics with a slow swell), for the jingles.
void AddBrass(OSignal& s, double start, double length, double note, double gain) {
  double f = Frequency(note), phase = 0.0;
  size_t from = static_cast<size_t>(start * kRate);
  size_t to = std::min(s.size(), static_cast<size_t>((start + length + 0.4) * kRate));
  for (size_t i = from; i < to; ++i) {
    double t = (i - from) / kRate;
    phase += f * (1.0 + 0.003 * std::sin(2.0 * kPi * 5.5 * t)) / kRate;
    double bright = 4.0 + 10.0 * Decay(t, 0.15);
    double v = 0.0;
    for (int h = 1; h <= 16 && h * f < kRate * 0.45; ++h)
      v += std::sin(2.0 * kPi * h * phase) / h * std::exp(-h / bright);
    double env = t < 0.02 ? t / 0.02 : (t < length ? 1.0 - 0.3 * (t - 0.02) / length : 0.7 * Decay(t - length, 0.12));
    s[i] += static_cast<float>(v * env * gain);
  }
}

// Level completed: a rising fanfare ending on a held major chord with a sparkle on top.
OSignal NextLevel() {
  OSignal s = Silence(2.2);
  struct Note { double at, length, note; };
  const Note tune[] = {{0.00, 0.12, 67}, {0.13, 0.12, 72}, {0.26, 0.12, 76},
                       {0.39, 0.25, 79}, {0.66, 0.12, 76}, {0.79, 0.9, 84}};
  for (const Note& n : tune) AddBrass(s, n.at, n.length, n.note, 0.5);
  AddBrass(s, 0.79, 0.9, 76, 0.3);
  AddBrass(s, 0.79, 0.9, 72, 0.3);
  AddBrass(s, 0.79, 0.9, 60, 0.35);
  static const int sparkle[] = {96, 100, 103, 108};
  OSignal bells = Arpeggio(sparkle, 4, 0.07, 0.25, 1.3, 0.0);
  MixInto(s, bells, static_cast<size_t>(0.8 * kRate), 0.15f);
  s.resize(static_cast<size_t>(2.2 * kRate));
  return s;
}

// Game over: a slow descending minor line over a low drone, ending on a dark chord.
OSignal GameOver() {
  OSignal s = Silence(3.0);
  struct Note { double at, length, note; };
  // E, E-flat, D, then C over A and E: a chromatic sigh settling on A minor.
  const Note tune[] = {{0.0, 0.35, 64}, {0.4, 0.35, 63}, {0.8, 0.35, 62}, {1.2, 1.2, 60}};
  for (const Note& n : tune) AddBrass(s, n.at, n.length, n.note, 0.5);
  AddBrass(s, 1.2, 1.2, 57, 0.35);
  AddBrass(s, 1.2, 1.2, 52, 0.35);
  AddBrass(s, 0.0, 2.4, 40, 0.4);
  return s;
}

// Bomb brick blast: a deep thump under a roar of noise whose low-pass closes as it dies away.
OSignal BombExplosion() {
  OSignal s = Silence(1.3);
  ONoise noise(101);
  OBiquad low(OBiquad::LOWPASS, kRate), low2(OBiquad::LOWPASS, kRate);
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = i / kRate;
    low.Set(300.0 + 5000.0 * Decay(t, 0.12), 0.9);
    low2.Set(300.0 + 5000.0 * Decay(t, 0.12), 0.7);
    double roar = low2.Process(low.Process(noise.Next())) * AttackDecay(t, 0.003, 0.3) * 1.6;
    double f = 40.0 + 110.0 * Decay(t, 0.05);
    phase += f / kRate;
    double thump = std::sin(2.0 * kPi * phase) * AttackDecay(t, 0.002, 0.18);
    double crackle = (noise.Next() > 0.995f ? 1.0 : 0.0) * Decay(t, 0.25) * 0.8;
    s[i] = static_cast<float>(std::tanh(roar + thump + crackle));
  }
  return s;
}

// Rocket fired from the bat: a short zap sliding down over a rising hiss of band-passed noise.
OSignal RocketFire() {
  OSignal s = Silence(0.38);
  ONoise noise(131);
  OBiquad band(OBiquad::BANDPASS, kRate);
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = i / kRate;
    band.Set(900.0 + 5000.0 * t / 0.38, 1.2);
    double hiss = band.Process(noise.Next()) * AttackDecay(t, 0.03, 0.12) * 2.5;
    double f = 1400.0 * std::pow(0.25, t / 0.15);
    phase += f / kRate;
    double zap = (std::fmod(phase, 1.0) * 2.0 - 1.0) * AttackDecay(t, 0.002, 0.05) * 0.5;
    s[i] = static_cast<float>(hiss + zap);
  }
  return s;
}

// Brick smashed by the heavy ball: a hard crunch, then a rattle of falling fragments.
OSignal ExpNormal() {
  OSignal s = Silence(0.6);
  ONoise noise(151), grains(152);
  OBiquad high(OBiquad::HIGHPASS, kRate), band(OBiquad::BANDPASS, kRate);
  high.Set(700, 0.7);
  band.Set(2400, 3.0);
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = i / kRate;
    double crunch = high.Process(noise.Next()) * AttackDecay(t, 0.001, 0.05) * 1.3;
    double fragment = grains.Next() > 0.993f - 0.02f * static_cast<float>(t) ? 1.0 : 0.0;
    double rattle = band.Process(static_cast<float>(fragment * 4.0)) * Decay(t - 0.03, 0.15) * (t > 0.03);
    phase += (180.0 - 100.0 * t) / kRate;
    double body = std::sin(2.0 * kPi * phase) * AttackDecay(t, 0.001, 0.06);
    s[i] = static_cast<float>(crunch + rattle + body);
  }
  return s;
}

// A corridor stage cleared: a short, bright rising chime (bell partials over a soft brass
// fifth), quicker than the level fanfare so that it never holds up the next stage.
OSignal StageClear() {
  OSignal s = Silence(1.2);
  const double notes[] = {76, 79, 84, 88};
  for (int n = 0; n < 4; ++n) {
    const double f = Frequency(notes[n]);
    const size_t start = static_cast<size_t>(n * 0.085 * kRate);
    for (size_t i = start; i < s.size(); ++i) {
      const double t = (i - start) / kRate;
      // Inharmonic partials of a small bell, the upper ones dying first.
      const double bell = std::sin(2.0 * kPi * f * t) * Decay(t, 0.35) +
                          0.5 * std::sin(2.0 * kPi * f * 2.76 * t) * Decay(t, 0.12) +
                          0.25 * std::sin(2.0 * kPi * f * 5.4 * t) * Decay(t, 0.05);
      s[i] += static_cast<float>(bell * AttackDecay(t, 0.002, 1.0) * (n == 3 ? 1.0 : 0.7));
    }
  }
  AddBrass(s, 0.26, 0.5, 72, 0.25);
  AddBrass(s, 0.26, 0.5, 79, 0.2);
  return s;
}

// A corridor stage's time ran out: a falling three-note buzzer over a low, dull thud, clearly
// a let-down next to the chime of a cleared stage.
OSignal TimeUp() {
  OSignal s = Silence(1.1);
  OBiquad low(OBiquad::LOWPASS, kRate);
  low.Set(1600, 0.9);
  const double notes[] = {62, 58, 53};
  for (int n = 0; n < 3; ++n) {
    const size_t start = static_cast<size_t>(n * 0.2 * kRate);
    const double length = n == 2 ? 0.55 : 0.16;
    double phase = 0.0;
    for (size_t i = start; i < s.size(); ++i) {
      const double t = (i - start) / kRate;
      if (t > length + 0.05) break;
      const double f = Frequency(notes[n]) * (n == 2 ? 1.0 - 0.04 * t : 1.0);
      phase += f / kRate;
      const double env = t < 0.01 ? t / 0.01 : (t < length ? 1.0 : Decay(t - length, 0.015));
      const double buzz = SoftSquare(phase, f) + 0.4 * (std::fmod(phase * 2.0, 1.0) - 0.5);
      s[i] += static_cast<float>(buzz * env * 0.6);
    }
  }
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = i / kRate;
    phase += (70.0 - 20.0 * t) / kRate;
    s[i] = low.Process(s[i]) + static_cast<float>(std::sin(2.0 * kPi * phase) * AttackDecay(t, 0.003, 0.25) * 0.5);
  }
  return s;
}

void Add(std::vector<OContentFile>& loose, const std::string& name, OSignal s, double peakDb) {
  FadeEnds(s, kRate, 0.0005, 0.02);
  Normalise(s, static_cast<float>(std::pow(10.0, peakDb / 20.0)));
  loose.push_back({"Data/Sounds/" + name + ".wav", MakeWav(s, static_cast<std::uint32_t>(kRate))});
}

}  // namespace

void BuildSounds(const OContentContext&, std::vector<OContentFile>& loose) {
  Add(loose, "hit_block", HitBlock(), -10);
  Add(loose, "next_level", NextLevel(), -7);
  Add(loose, "click_menu", ClickMenu(), -10);
  Add(loose, "hit_wall", HitWall(), -12);
  Add(loose, "get_bonus", GetBonus(), -8);
  Add(loose, "small_player", SmallPlayer(), -9);
  Add(loose, "expand_player", ExpandPlayer(), -9);
  Add(loose, "ball_lost", BallLost(), -8);
  Add(loose, "game_over", GameOver(), -7);
  Add(loose, "bomb_explosion", BombExplosion(), -7);
  Add(loose, "rocket_fire", RocketFire(), -12);
  Add(loose, "ballbatlow_1", BallBat(57, 0.25), -11);
  Add(loose, "ballbatlow_2", BallBat(60, 0.15), -11);
  Add(loose, "ballbatlow_3", BallBat(64, 0.35), -11);
  Add(loose, "exp_normal3", ExpNormal(), -9);
  Add(loose, "stage_clear", StageClear(), -8);
  Add(loose, "time_up", TimeUp(), -8);
}
