// The system volume's rules, on a stand-in mixer: a test never touches the machine's real volume.
#include <gtest/gtest.h>

#include <map>

#include "audio/VolumeOut.h"

namespace {

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
