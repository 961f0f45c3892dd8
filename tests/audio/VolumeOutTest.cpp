#include <gtest/gtest.h>

#include "audio/VolumeOut.h"

namespace {
u32 seen = 0;
void Seen(u32 volume, u32) { seen = volume; }
}  // namespace

// Without a mixer (no sound card) the object is inert; with one, out-of-range values change nothing.
TEST(VolumeOut, InertWithoutMixerAndRangeChecked) {
  OVolumeOut out(OVolumeOut::VOLUME_LINE_WAVE);
  out.SetCallback(Seen, 7);
  out.HandleEvents();
  out.Enable();
  if (!out.HasVolume()) {
    out.SetVolume(10);
    EXPECT_EQ(out.GetVolume(), VOLUME_NONE);
  } else {
    // A real mixer: a value above the maximum is ignored, the volume is put back.
    const u32 before = out.GetVolume();
    out.SetVolume(out.GetMaximum() + 1);
    EXPECT_EQ(out.GetVolume(), before);
    out.SetVolume(before);
  }
  EXPECT_EQ(seen, 0u);  // nothing changed, nothing reported

  OVolumeOut unknown(99);  // not a line kind: inert
  EXPECT_FALSE(unknown.HasVolume());
  EXPECT_EQ(unknown.GetVolume(), VOLUME_NONE);
}
