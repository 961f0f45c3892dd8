#pragma once
// A piece of music as the module writers see it: instruments given as synthesis recipes, patterns
// of rows and channels, and the order in which the patterns play. It is independent of any module
// format; the XM, IT and MOD writers each render the instruments at the rates their format needs.
#include <map>
#include <string>
#include <vector>

// How one instrument is synthesised (see Instruments.h). `kind` is a waveform ("saw", "pulse",
// "tri", "sine", "organ", "fm") or a drum ("kick", "snare", "hat", ...); the numbers are the
// recipe's parameters by name (seconds, Hz, 0..1 levels, as each one documents).
struct OInstrumentRecipe {
  std::string name;
  std::string kind;
  std::map<std::string, double> params;

  double Get(const std::string& key, double fallback) const {
    auto it = params.find(key);
    return it == params.end() ? fallback : it->second;
  }
  bool IsDrum() const;
};

// One cell of a pattern. Notes are MIDI numbers (60 = middle C), or one of the two markers.
struct OCell {
  static constexpr int NONE = 0;
  static constexpr int OFF = -1;  // release the sounding note
  int note = NONE;
  int instrument = 0;  // 1-based index into OSong::instruments, 0 = none
  int volume = -1;     // 0..64, -1 = the instrument's own volume
};

struct OPattern {
  std::string name;
  int rows = 64;
  std::vector<OCell> cells;  // rows x channels, row-major

  OCell& At(int row, int channel, int channels) { return cells[row * channels + channel]; }
  const OCell& At(int row, int channel, int channels) const {
    return cells[row * channels + channel];
  }
};

struct OSong {
  std::string title;
  int tempo = 125;   // beats per minute (a beat is four rows)
  int speed = 6;     // ticks per row
  // A shuffle: even rows last swingEven ticks and odd rows swingOdd (0 = straight time).
  int swingEven = 0, swingOdd = 0;
  double gain = 1.0;   // 0..1, scales every sample, to even out the loudness of the pieces
  int channels = 0;
  std::vector<OInstrumentRecipe> instruments;
  std::vector<OPattern> patterns;
  std::vector<int> order;  // pattern indices, played once from first to last

  bool Swing() const { return swingEven > 0; }
  // Ticks of a row: the speed, or the shuffle's long and short rows in turn.
  int SpeedOfRow(int row) const { return Swing() ? (row % 2 ? swingOdd : swingEven) : speed; }
};

// Reads a score (the text format of content/music/, documented in its README). Returns false with
// a message naming the line on any error.
bool ParseScore(const std::string& text, OSong& song, std::string& error);
