#pragma once
// The instruments of the music, synthesised into samples. A tonal instrument is rendered as an
// attack part followed by a seamless loop of its steady tone, so that it can sound for as long as a
// note is held; drums and plucked sounds are single shots that die away on their own.
#include <cstddef>

#include "audio/Dsp.h"
#include "audio/Song.h"

struct OInstrumentSample {
  OSignal data;             // peak 1.0
  std::size_t loopStart = 0;
  std::size_t loopLength = 0;  // 0 = no loop
  double rate = 0;          // sample rate that plays the reference pitch
};

// Renders `recipe` at `rate` samples per second so that it sounds at `frequency` (Hz) when played
// at that rate. The real pitch may differ by under a cent (loops hold whole cycles); the returned
// `rate` is corrected so that playing at it gives `frequency` exactly. `evenLoop` keeps the loop's
// start and length even (MOD counts them in 16-bit words). `maxSeconds` bounds the sample.
OInstrumentSample RenderInstrument(const OInstrumentRecipe& recipe, double rate, double frequency,
                                   bool evenLoop, double maxSeconds);

// The pitch (MIDI note) at which drums are written: every drum is one fixed sound.
constexpr int kDrumNote = 60;

double NoteFrequency(double midiNote);
