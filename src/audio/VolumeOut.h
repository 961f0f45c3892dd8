#pragma once
// The system's own output volume (the ALSA simple mixer of the default sound card), which the
// effect player remembers at start and puts back at exit. Where there is no mixer the object is
// inert: every query answers 0xFFFFFFFF and SetVolume does nothing.
#include <memory>
#include <string>

#include "core/Types.h"

// Called with the new channel-0 volume (in the control's own units) and the user value.
using OVolumeCallback = void (*)(u32 volume, u32 user);

constexpr u32 VOLUME_NONE = 0xFFFFFFFF;  // the answer of every query without a volume control

// A sound card's mixer as OVolumeOut sees it: simple elements found by name ("PCM", "Master",
// ...), each with an optional playback volume and an optional playback switch. The game's is
// ALSA's on the default card; tests give a stand-in, so that no test ever changes the machine's
// real volume.
class OMixer {
public:
  virtual ~OMixer() = default;
  virtual bool Has(const std::string& element) const = 0;
  virtual bool HasVolume(const std::string& element) const = 0;
  // The volume's range in the element's own units; false when it cannot be read.
  virtual bool Range(const std::string& element, long& lo, long& hi) const = 0;
  // Channel 0's volume; false when it cannot be read.
  virtual bool Volume(const std::string& element, long& value) const = 0;
  // Every channel to value.
  virtual void SetVolume(const std::string& element, long value) = 0;
  // The playback switch (on = sounding); nothing for an element without one.
  virtual void SetSwitch(const std::string& element, bool on) = 0;
  // Takes the pending change events without waiting, so that Volume reads the current value.
  virtual void TakeEvents() = 0;
};

// ALSA's mixer of the default card, or null where there is none (no card, no ALSA).
std::unique_ptr<OMixer> OpenSystemMixer();

class OVolumeOut {
public:
  // Which element to control: VOLUME_LINE_WAVE the wave output ("PCM", else "Master"),
  // VOLUME_LINE_SYNTH the synthesizer ("Synth"), VOLUME_LINE_SPEAKERS the main output ("Master",
  // else "Speaker").
  enum { VOLUME_LINE_WAVE = 0, VOLUME_LINE_SYNTH = 1, VOLUME_LINE_SPEAKERS = 2 };

  // On the system mixer (OpenSystemMixer).
  explicit OVolumeOut(u32 lineKind);
  // On the given mixer; null gives an inert object.
  OVolumeOut(u32 lineKind, std::unique_ptr<OMixer> mixer);
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
  bool FindVolumeControl();
  void SetLineState(bool enabled);

  u32 lineKind;
  std::unique_ptr<OMixer> mixer;  // null when there is none or it has no such line
  std::string element;            // the chosen element's name
  u8 hasVolume = 0;
  u32 minimum = VOLUME_NONE;
  u32 maximum = VOLUME_NONE;
  u32 steps = VOLUME_NONE;
  u32 lastVolume = VOLUME_NONE;  // to report only real changes
  OVolumeCallback callback = nullptr;
  u32 callbackUser = 0;
};
