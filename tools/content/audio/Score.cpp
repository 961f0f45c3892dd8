// Reader of the text scores in content/music/ (the format is described in content/music/README).
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "audio/Song.h"

namespace {

struct OChannelDecl {
  std::string name;
  int first = 0;   // first module channel
  int count = 1;   // a chord group spans several channels
  int instrument = 0;
  bool beat = false;
  std::map<char, int> letters;  // beat letter -> instrument
};

struct OPatternText {
  std::string name;
  int rows = 64;
  std::map<std::string, std::string> lines;  // channel -> its tokens
  std::map<std::string, int> lineNumbers;     // channel -> where its part starts, for errors
};

class OScoreReader {
public:
  OScoreReader(OSong& song, std::string& error) : song(song), error(error) {}
  bool Read(const std::string& text);

private:
  bool Fail(const std::string& message) {
    error = "line " + std::to_string(lineNumber) + ": " + message;
    return false;
  }
  bool Directive(std::istringstream& in, const std::string& word);
  bool Build();
  bool BuildLine(OPattern& pattern, const OChannelDecl& channel, const std::string& text);
  bool Expand(const std::string& text, std::vector<std::string>& out);
  int FindInstrument(const std::string& name) const {
    for (size_t i = 0; i < song.instruments.size(); ++i)
      if (song.instruments[i].name == name) return static_cast<int>(i) + 1;
    return 0;
  }
  static int ParseNote(const std::string& s, size_t& pos);

  OSong& song;
  std::string& error;
  int lineNumber = 0;
  double level = 1.0;  // scales every volume; unlike gain it keeps the samples' resolution
  std::vector<OChannelDecl> channels;
  std::vector<OPatternText> patterns;
  std::vector<std::string> orderNames;
  OPatternText* current = nullptr;
  std::set<std::string> touched;  // channels already given in the current pattern
};

bool OScoreReader::Read(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    ++lineNumber;
    // A comment starts with '#' at the start of a word ('#' inside a word is a sharp: "f#4").
    for (size_t i = 0; i < line.size(); ++i)
      if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) {
        line.erase(i);
        break;
      }
    size_t colon = line.find(':');
    std::istringstream in(line);
    std::string word;
    if (!(in >> word)) continue;
    if (colon != std::string::npos && word.back() == ':') {
      // "channel: tokens" inside a pattern
      if (!current) return Fail("notes outside a pattern");
      std::string name = word.substr(0, word.size() - 1);
      bool known = false;
      for (const OChannelDecl& c : channels) known = known || c.name == name;
      if (!known) return Fail("unknown channel " + name);
      std::string rest = line.substr(colon + 1);
      if (!touched.count(name)) {
        current->lines[name].clear();
        current->lineNumbers[name] = lineNumber;
        touched.insert(name);
      }
      current->lines[name] += " " + rest;
      continue;
    }
    if (!Directive(in, word)) return false;
  }
  return Build();
}

bool OScoreReader::Directive(std::istringstream& in, const std::string& word) {
  if (word == "title") {
    std::getline(in >> std::ws, song.title);
  } else if (word == "tempo") {
    if (!(in >> song.tempo) || song.tempo < 32 || song.tempo > 255) return Fail("tempo 32..255");
  } else if (word == "speed") {
    if (!(in >> song.speed) || song.speed < 1 || song.speed > 31) return Fail("speed 1..31");
  } else if (word == "swing") {
    if (!(in >> song.swingEven >> song.swingOdd) || song.swingEven < 1 || song.swingEven > 31 ||
        song.swingOdd < 1 || song.swingOdd > 31)
      return Fail("swing LONG SHORT, ticks 1..31");
  } else if (word == "gain") {
    if (!(in >> song.gain) || song.gain <= 0.0 || song.gain > 1.0) return Fail("gain 0..1");
  } else if (word == "level") {
    if (!(in >> level) || level <= 0.0 || level > 1.0) return Fail("level 0..1");
  } else if (word == "instrument") {
    OInstrumentRecipe recipe;
    if (!(in >> recipe.name >> recipe.kind)) return Fail("instrument NAME KIND key=value...");
    std::string pair;
    while (in >> pair) {
      size_t eq = pair.find('=');
      if (eq == std::string::npos) return Fail("expected key=value, got " + pair);
      try {
        recipe.params[pair.substr(0, eq)] = std::stod(pair.substr(eq + 1));
      } catch (...) {
        return Fail("bad number in " + pair);
      }
    }
    static const char* const tonal[] = {"saw", "square", "pulse", "tri", "soft", "sine", "organ", "fm"};
    bool known = recipe.IsDrum();
    for (const char* k : tonal) known = known || recipe.kind == k;
    if (!known) return Fail("unknown instrument kind " + recipe.kind);
    song.instruments.push_back(recipe);
  } else if (word == "channel") {
    OChannelDecl c;
    std::string what;
    if (!(in >> c.name >> what)) return Fail("channel NAME INSTRUMENT [xN] | channel NAME beat L=INSTRUMENT...");
    c.first = song.channels;
    if (what == "beat") {
      c.beat = true;
      std::string pair;
      while (in >> pair) {
        int i = pair.size() > 2 && pair[1] == '=' ? FindInstrument(pair.substr(2)) : 0;
        if (!i) return Fail("expected letter=instrument, got " + pair);
        c.letters[pair[0]] = i;
      }
    } else {
      c.instrument = FindInstrument(what);
      if (!c.instrument) return Fail("unknown instrument " + what);
      std::string count;
      if (in >> count) {
        if (count.size() < 2 || count[0] != 'x') return Fail("expected xN");
        c.count = std::atoi(count.c_str() + 1);
        if (c.count < 1 || c.count > 8) return Fail("group of 1..8 channels");
      }
    }
    song.channels += c.count;
    channels.push_back(c);
  } else if (word == "pattern") {
    OPatternText p;
    if (!(in >> p.name)) return Fail("pattern NAME [ROWS] [from OTHER]");
    std::string next;
    while (in >> next) {
      if (next == "from") {
        std::string other;
        in >> other;
        bool found = false;
        for (const OPatternText& q : patterns)
          if (q.name == other) {
            p.lines = q.lines;
            p.lineNumbers = q.lineNumbers;
            p.rows = q.rows;
            found = true;
          }
        if (!found) return Fail("unknown pattern " + other);
      } else {
        p.rows = std::atoi(next.c_str());
        if (p.rows < 1 || p.rows > 256) return Fail("rows 1..256");
      }
    }
    for (const OPatternText& q : patterns)
      if (q.name == p.name) return Fail("pattern " + p.name + " given twice");
    patterns.push_back(p);
    current = &patterns.back();
    touched.clear();
  } else if (word == "order") {
    std::string name;
    while (in >> name) orderNames.push_back(name);
    current = nullptr;
  } else {
    return Fail("unknown word " + word);
  }
  return true;
}

// Splits a line into tokens, expanding "( ... )*N" repeats. Chords "[a b c]:d@v" stay one token.
bool OScoreReader::Expand(const std::string& text, std::vector<std::string>& out) {
  std::vector<std::vector<std::string>> stack(1);
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c)) || c == '|') {
      ++i;
    } else if (c == '(') {
      stack.emplace_back();
      ++i;
    } else if (c == ')') {
      ++i;
      int times = 1;
      if (i < text.size() && text[i] == '*') {
        size_t end = i + 1;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        times = std::atoi(text.substr(i + 1, end - i - 1).c_str());
        i = end;
      }
      if (stack.size() < 2 || times < 1) return Fail("unbalanced ( ) or bad repeat");
      std::vector<std::string> group = stack.back();
      stack.pop_back();
      for (int t = 0; t < times; ++t) stack.back().insert(stack.back().end(), group.begin(), group.end());
    } else {
      size_t start = i;
      if (c == '[') {
        i = text.find(']', i);
        if (i == std::string::npos) return Fail("unclosed [");
      }
      while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) && text[i] != '(' &&
             text[i] != ')' && text[i] != '|')
        ++i;
      stack.back().push_back(text.substr(start, i - start));
    }
  }
  if (stack.size() != 1) return Fail("unclosed (");
  out = stack[0];
  return true;
}

// "c4", "f#3", "bb2" -> MIDI number (c4 = 60); -1 when it is not a note.
int OScoreReader::ParseNote(const std::string& s, size_t& pos) {
  static const int steps[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
  if (pos >= s.size() || s[pos] < 'a' || s[pos] > 'g') return -1;
  int note = steps[s[pos] - 'a'];
  ++pos;
  if (pos < s.size() && s[pos] == '#') { ++note; ++pos; }
  else if (pos < s.size() && s[pos] == 'b' && pos + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[pos + 1]))) { --note; ++pos; }
  if (pos >= s.size() || !std::isdigit(static_cast<unsigned char>(s[pos]))) return -1;
  int octave = s[pos++] - '0';
  return 12 * (octave + 1) + note;
}

bool OScoreReader::BuildLine(OPattern& pattern, const OChannelDecl& channel, const std::string& text) {
  const int n = song.channels;
  if (channel.beat) {
    std::string steps;
    for (char c : text)
      if (!std::isspace(static_cast<unsigned char>(c)) && c != '|') steps += c;
    if (steps.empty()) return true;
    if (steps.size() > static_cast<size_t>(pattern.rows))
      return Fail("beat of channel " + channel.name + " longer than pattern " + pattern.name);
    for (int row = 0; row < pattern.rows; ++row) {
      char c = steps[row % steps.size()];
      if (c == '.') continue;
      auto it = channel.letters.find(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
      if (it == channel.letters.end()) return Fail(std::string("no drum for letter ") + c + " in " + pattern.name);
      OCell& cell = pattern.At(row, channel.first, n);
      cell.note = 60;
      cell.instrument = it->second;
      cell.volume = std::isupper(static_cast<unsigned char>(c)) ? 64 : -1;
    }
    return true;
  }
  std::vector<std::string> tokens;
  if (!Expand(text, tokens)) return false;
  int row = 0, length = 4, instrument = channel.instrument, volume = -1;
  for (const std::string& token : tokens) {
    if (token.rfind("i=", 0) == 0) {
      instrument = FindInstrument(token.substr(2));
      if (!instrument) return Fail("unknown instrument in " + token);
      continue;
    }
    if (token.rfind("v=", 0) == 0) {
      volume = std::atoi(token.c_str() + 2);
      continue;
    }
    // The note part, then ":length" and "@volume".
    std::vector<int> notes;
    bool rest = false, tie = false;
    size_t pos = 0;
    if (token[0] == '[') {
      size_t close = token.find(']');
      std::istringstream in(token.substr(1, close - 1));
      std::string one;
      while (in >> one) {
        size_t p = 0;
        int note = ParseNote(one, p);
        if (note < 0 || p != one.size()) return Fail("bad chord note " + one + " in " + pattern.name);
        notes.push_back(note);
      }
      pos = close + 1;
    } else if (token[0] == 'r') {
      rest = true;
      pos = 1;
    } else if (token[0] == '-') {
      tie = true;
      pos = 1;
    } else {
      int note = ParseNote(token, pos);
      if (note < 0) return Fail("bad token " + token + " in " + pattern.name);
      notes.push_back(note);
    }
    int noteVolume = volume;
    while (pos < token.size()) {
      char kind = token[pos++];
      size_t end = pos;
      while (end < token.size() && std::isdigit(static_cast<unsigned char>(token[end]))) ++end;
      if (end == pos || (kind != ':' && kind != '@')) return Fail("bad token " + token + " in " + pattern.name);
      int value = std::atoi(token.substr(pos, end - pos).c_str());
      pos = end;
      if (kind == ':') length = value;
      else noteVolume = value;
    }
    if (length < 1) return Fail("zero length in " + pattern.name);
    if (row + length > pattern.rows)
      return Fail("channel " + channel.name + " runs past the end of pattern " + pattern.name);
    if (notes.size() > static_cast<size_t>(channel.count))
      return Fail("chord larger than channel group " + channel.name);
    for (int k = 0; k < channel.count && !tie; ++k) {
      OCell& cell = pattern.At(row, channel.first + k, n);
      if (rest) {
        cell.note = OCell::OFF;
      } else if (k < static_cast<int>(notes.size())) {
        cell.note = notes[k];
        cell.instrument = instrument;
        cell.volume = noteVolume > 64 ? 64 : noteVolume;
      } else if (notes.size() > 1) {
        cell.note = OCell::OFF;  // a smaller chord silences the rest of the group
      }
    }
    row += length;
  }
  return true;
}

bool OScoreReader::Build() {
  if (channels.empty()) return Fail("no channels");
  if (song.channels > 32) return Fail("at most 32 channels");
  for (const OPatternText& text : patterns) {
    OPattern p;
    p.name = text.name;
    p.rows = text.rows;
    p.cells.assign(static_cast<size_t>(p.rows) * song.channels, OCell());
    for (const OChannelDecl& c : channels) {
      auto line = text.lines.find(c.name);
      if (line != text.lines.end()) {
        lineNumber = text.lineNumbers.at(c.name);
        if (!BuildLine(p, c, line->second)) return false;
      } else if (!c.beat) {
        // A part the pattern leaves out is silent in it: release whatever it still holds from
        // the pattern before (drums are single shots and left to ring out).
        for (int k = 0; k < c.count; ++k) p.At(0, c.first + k, song.channels).note = OCell::OFF;
      }
    }
    if (level < 1.0)
      for (OCell& c : p.cells)
        if (c.volume >= 0) c.volume = static_cast<int>(c.volume * level + 0.5);
    song.patterns.push_back(std::move(p));
  }
  if (level < 1.0)
    for (OInstrumentRecipe& r : song.instruments) r.params["volume"] = r.Get("volume", 48) * level;
  for (const std::string& name : orderNames) {
    int found = -1;
    for (size_t i = 0; i < song.patterns.size(); ++i)
      if (song.patterns[i].name == name) found = static_cast<int>(i);
    if (found < 0) return Fail("order names unknown pattern " + name);
    song.order.push_back(found);
  }
  if (song.order.empty()) return Fail("empty order");
  if (song.order.size() > 250) return Fail("order too long");
  return true;
}

}  // namespace

bool ParseScore(const std::string& text, OSong& song, std::string& error) {
  song = OSong();
  OScoreReader reader(song, error);
  return reader.Read(text);
}
