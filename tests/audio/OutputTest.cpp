// The final mix's soft limiter, and the system volume's rules on a stand-in mixer (a test never
// touches the machine's real volume).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

#include "audio/Limiter.h"
#include "audio/VolumeOut.h"

namespace {

std::vector<i16> Stereo(size_t frames, i16 left, i16 right) {
  std::vector<i16> s(2 * frames);
  for (size_t i = 0; i < frames; ++i) {
    s[2 * i] = left;
    s[2 * i + 1] = right;
  }
  return s;
}

int Peak(const std::vector<i16>& s) {
  int p = 0;
  for (i16 v : s) p = std::max(p, std::abs(static_cast<int>(v)));
  return p;
}

struct FakeElement {
  bool hasVolume = true;
  long lo = 0, hi = 31, value = 20;
  bool switchOn = true;
};

// Elements by name; the map is the test's, so it can play another program changing the volume.
class FakeMixer : public OMixer {
public:
  explicit FakeMixer(std::map<std::string, FakeElement>& elements) : elements(elements) {}
  bool Has(const std::string& n) const override { return elements.count(n) != 0; }
  bool HasVolume(const std::string& n) const override { return Has(n) && elements.at(n).hasVolume; }
  bool Range(const std::string& n, long& lo, long& hi) const override {
    lo = elements.at(n).lo;
    hi = elements.at(n).hi;
    return true;
  }
  bool Volume(const std::string& n, long& v) const override {
    v = elements.at(n).value;
    return true;
  }
  void SetVolume(const std::string& n, long v) override { elements.at(n).value = v; }
  void SetSwitch(const std::string& n, bool on) override { elements.at(n).switchOn = on; }
  void TakeEvents() override {}
  std::map<std::string, FakeElement>& elements;
};

u32 seen = 0;
int calls = 0;
void Seen(u32 volume, u32 user) {
  seen = volume + user;
  ++calls;
}

}  // namespace

TEST(Limiter, HoldsTheMixUnderItsCeilingAndLetsGoGradually) {
  struct Case {
    const char* what;
    i16 left, right;
    int maxPeak;   // the largest magnitude allowed out
    bool touched;  // the samples change
  };
  const int ceiling = static_cast<int>(0.89f * 32767.0f);
  const Case cases[] = {
      {"a level under the ceiling passes bit for bit", 20000, -20000, 20000, false},
      {"a level just at the ceiling passes", static_cast<i16>(ceiling), 0, ceiling, false},
      {"full scale is brought under the ceiling", 32767, 32767, ceiling, true},
      {"negative full scale too (one more step than positive)", -32768, -32768, ceiling, true},
      {"one loud channel lowers both, keeping the stereo picture", 32767, 10000, ceiling, true},
  };
  for (const Case& c : cases) {
    OLimiter limiter;
    std::vector<i16> s = Stereo(512, c.left, c.right);
    const std::vector<i16> before = s;
    limiter.Process(s.data(), 512);
    EXPECT_LE(Peak(s), c.maxPeak) << c.what;
    EXPECT_EQ(s != before, c.touched) << c.what;
    if (c.touched && c.right != c.left && c.left != 0) {
      EXPECT_NEAR(static_cast<double>(s[1]) / s[0], static_cast<double>(c.right) / c.left, 0.01) << c.what;
    }
  }

  // Once the peak has passed, the gain comes back gradually.
  OLimiter limiter(0.5f, 100.0f, 44100);
  std::vector<i16> loud = Stereo(64, 32000, 32000);
  limiter.Process(loud.data(), 64);
  EXPECT_NEAR(limiter.Gain(), 0.5f * 32767.0f / 32000.0f, 0.001f) << "held at the ceiling during the peak";
  std::vector<i16> quiet = Stereo(441, 1000, 1000);  // 10 ms
  limiter.Process(quiet.data(), 441);
  EXPECT_GT(limiter.Gain(), 0.52f) << "recovering";
  EXPECT_LT(limiter.Gain(), 0.65f) << "but not at once (no pumping on every wave)";
  std::vector<i16> rest = Stereo(44100, 1000, 1000);  // a second later
  limiter.Process(rest.data(), 44100);
  EXPECT_GT(limiter.Gain(), 0.999f) << "back to unity";
  EXPECT_GE(rest.back(), 999);
}

TEST(VolumeOut, ChoosesTheLineAndGuardsItsRange) {
  using Elements = std::map<std::string, FakeElement>;
  FakeElement mute;  // a line with a switch and no volume
  mute.hasVolume = false;
  FakeElement master;
  master.value = 7;
  FakeElement bad;   // a range that cannot be stated in the object's units
  bad.lo = -5;
  struct Case {
    u32 kind;
    Elements elements;
    u32 volume;  // what GetVolume answers: which element was chosen
    const char* what;
  } cases[] = {
      {OVolumeOut::VOLUME_LINE_WAVE, {{"PCM", {}}, {"Master", master}}, 20, "wave: PCM first"},
      {OVolumeOut::VOLUME_LINE_WAVE, {{"PCM", mute}, {"Master", master}}, 7,
       "wave: a PCM without volume gives way to Master"},
      {OVolumeOut::VOLUME_LINE_WAVE, {{"Master", master}}, 7, "wave: no PCM, Master"},
      {OVolumeOut::VOLUME_LINE_SPEAKERS, {{"PCM", {}}, {"Speaker", master}}, 7,
       "speakers: no Master, Speaker"},
      {OVolumeOut::VOLUME_LINE_SYNTH, {{"PCM", {}}, {"Master", {}}}, VOLUME_NONE,
       "synth: only Synth"},
      {OVolumeOut::VOLUME_LINE_WAVE, {{"PCM", bad}}, VOLUME_NONE, "a negative range: no volume"},
      {99, {{"PCM", {}}}, VOLUME_NONE, "not a line kind: inert"},
  };
  for (Case& c : cases) {
    OVolumeOut out(c.kind, std::unique_ptr<OMixer>(new FakeMixer(c.elements)));
    EXPECT_EQ(out.GetVolume(), c.volume) << c.what;
    EXPECT_EQ(out.HasVolume(), c.volume != VOLUME_NONE) << c.what;
  }
  // No mixer at all: inert.
  OVolumeOut none(OVolumeOut::VOLUME_LINE_WAVE, nullptr);
  none.SetVolume(10);
  none.HandleEvents();
  EXPECT_EQ(none.GetVolume(), VOLUME_NONE);
  EXPECT_EQ(none.GetMaximum(), VOLUME_NONE);

  // A line without volume is still the line: its switch mutes and unmutes.
  Elements onlyMute = {{"PCM", mute}};
  OVolumeOut line(OVolumeOut::VOLUME_LINE_WAVE, std::unique_ptr<OMixer>(new FakeMixer(onlyMute)));
  line.Disable();
  EXPECT_FALSE(onlyMute["PCM"].switchOn);
  line.Enable();
  EXPECT_TRUE(onlyMute["PCM"].switchOn);

  // The range in the element's own units; values outside it change nothing.
  FakeElement pcm;
  pcm.lo = 4;
  pcm.hi = 100;
  Elements one = {{"PCM", pcm}};
  OVolumeOut out(OVolumeOut::VOLUME_LINE_WAVE, std::unique_ptr<OMixer>(new FakeMixer(one)));
  EXPECT_EQ(out.GetMinimum(), 4u);
  EXPECT_EQ(out.GetMaximum(), 100u);
  EXPECT_EQ(out.GetSteps(), 96u);
  for (u32 v : {3u, 101u}) {
    out.SetVolume(v);
    EXPECT_EQ(one["PCM"].value, 20) << v;
  }
  out.SetVolume(100);
  EXPECT_EQ(one["PCM"].value, 100);

  // Only a change made elsewhere is reported, once, with the user value.
  out.SetCallback(Seen, 1000);
  out.HandleEvents();
  EXPECT_EQ(calls, 0) << "its own change is not news";
  one["PCM"].value = 55;  // another program moves the volume
  out.HandleEvents();
  out.HandleEvents();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen, 1055u);
}
