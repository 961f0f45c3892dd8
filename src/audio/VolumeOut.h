#pragma once
// The system's own output volume (the ALSA simple mixer of the default sound card), which the
// effect player remembers at start and puts back at exit. Where there is no mixer the object is
// inert: every query answers 0xFFFFFFFF and SetVolume does nothing.
#include "core/Types.h"

// Called with the new channel-0 volume (in the control's own units) and the user value.
using OVolumeCallback = void (*)(u32 volume, u32 user);

constexpr u32 VOLUME_NONE = 0xFFFFFFFF;  // the answer of every query without a volume control

class OVolumeOut {
public:
  // Which element to control: VOLUME_LINE_WAVE the wave output ("PCM", else "Master"),
  // VOLUME_LINE_SYNTH the synthesizer ("Synth"), VOLUME_LINE_SPEAKERS the main output ("Master",
  // else "Speaker").
  enum { VOLUME_LINE_WAVE = 0, VOLUME_LINE_SYNTH = 1, VOLUME_LINE_SPEAKERS = 2 };

  explicit OVolumeOut(u32 lineKind);
  virtual ~OVolumeOut();
  OVolumeOut(const OVolumeOut&) = delete;
  OVolumeOut& operator=(const OVolumeOut&) = delete;

  virtual bool HasVolume() const;
  // Unmutes (Enable) or mutes (Disable) the element's playback switch, where it has one.
  virtual void Enable();
  virtual void Disable();
  // The control's range in its own units (ALSA's raw values), or VOLUME_NONE.
  virtual u32 GetSteps() const;
  virtual u32 GetMinimum() const;
  virtual u32 GetMaximum() const;
  // Channel 0's current value, or VOLUME_NONE without a control or when the read fails.
  virtual u32 GetVolume() const;
  // Every channel to v, only with a control and when GetMinimum() <= v <= GetMaximum().
  virtual void SetVolume(u32 v);
  virtual void SetCallback(OVolumeCallback function, u32 user);

  // Takes the mixer's pending change events without waiting; when the volume was changed
  // (by another program, too) and a callback is set, calls it with the new value. The owner polls
  // this (there is no notification thread).
  void HandleEvents();

private:
  bool Open();
  bool FindVolumeControl();
  void SetLineState(bool enabled);
  void Close();

  u32 lineKind;
  u8 opened = 0;
  u8 lineFound = 0;
  u8 hasVolume = 0;
  void* mixer = nullptr;    // snd_mixer_t*, kept opaque so the game never sees ALSA
  void* element = nullptr;  // snd_mixer_elem_t* of the chosen element
  u32 minimum = VOLUME_NONE;
  u32 maximum = VOLUME_NONE;
  u32 steps = VOLUME_NONE;
  u32 lastVolume = VOLUME_NONE;  // to report only real changes
  OVolumeCallback callback = nullptr;
  u32 callbackUser = 0;
};
