#include "audio/VolumeOut.h"

#include <alsa/asoundlib.h>

namespace {

// alsa-lib writes its set-up failures (no card, no such element) to standard error; a machine
// without sound is normal for the game, so they are dropped.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

snd_mixer_t* Mixer(void* p) { return static_cast<snd_mixer_t*>(p); }
snd_mixer_elem_t* Element(void* p) { return static_cast<snd_mixer_elem_t*>(p); }

snd_mixer_elem_t* FindElement(snd_mixer_t* mixer, const char* name) {
  snd_mixer_selem_id_t* id = nullptr;
  snd_mixer_selem_id_alloca(&id);
  snd_mixer_selem_id_set_index(id, 0);
  snd_mixer_selem_id_set_name(id, name);
  return snd_mixer_find_selem(mixer, id);
}

}  // namespace

OVolumeOut::OVolumeOut(u32 lineKind) : lineKind(lineKind) {
  if (Open()) {
    if (!FindVolumeControl()) Close();
  }
}

OVolumeOut::~OVolumeOut() {
  if (opened) Close();
}

bool OVolumeOut::Open() {
  snd_lib_error_set_handler(QuietAlsa);
  snd_mixer_t* handle = nullptr;
  if (snd_mixer_open(&handle, 0) < 0) return false;
  // Non-blocking, so that taking change events never waits for one (HandleEvents).
  snd_hctl_t* control = nullptr;
  if (snd_hctl_open(&control, "default", SND_CTL_NONBLOCK) < 0) {
    snd_mixer_close(handle);
    return false;
  }
  if (snd_mixer_attach_hctl(handle, control) < 0) {  // on failure the control is closed for us
    snd_mixer_close(handle);
    return false;
  }
  if (snd_mixer_selem_register(handle, nullptr, nullptr) < 0 || snd_mixer_load(handle) < 0) {
    snd_mixer_close(handle);
    return false;
  }
  mixer = handle;
  opened = 1;
  return true;
}

bool OVolumeOut::FindVolumeControl() {
  if (!opened) return false;
  const char* names[2] = {nullptr, nullptr};
  switch (lineKind) {
    case VOLUME_LINE_WAVE: names[0] = "PCM"; names[1] = "Master"; break;
    case VOLUME_LINE_SYNTH: names[0] = "Synth"; break;
    case VOLUME_LINE_SPEAKERS: names[0] = "Master"; names[1] = "Speaker"; break;
    default: return false;
  }
  snd_mixer_elem_t* found = nullptr;
  for (const char* name : names) {
    if (name == nullptr) continue;
    snd_mixer_elem_t* e = FindElement(Mixer(mixer), name);
    if (e != nullptr && snd_mixer_selem_has_playback_volume(e)) {
      found = e;
      break;
    }
    if (found == nullptr) found = e;  // a line without volume still counts as found
  }
  if (found == nullptr) return false;
  element = found;
  if (snd_mixer_selem_has_playback_volume(found)) {
    long lo = 0;
    long hi = 0;
    if (snd_mixer_selem_get_playback_volume_range(found, &lo, &hi) == 0 && lo >= 0 && hi >= lo) {
      minimum = static_cast<u32>(lo);
      maximum = static_cast<u32>(hi);
      steps = maximum - minimum;
      hasVolume = 1;
    }
  }
  lineFound = 1;
  lastVolume = GetVolume();
  return true;
}

void OVolumeOut::Close() {
  if (mixer != nullptr) snd_mixer_close(Mixer(mixer));
  mixer = nullptr;
  element = nullptr;
  opened = 0;
  lineFound = 0;
  hasVolume = 0;
}

bool OVolumeOut::HasVolume() const { return hasVolume != 0; }
void OVolumeOut::Enable() { SetLineState(true); }
void OVolumeOut::Disable() { SetLineState(false); }
u32 OVolumeOut::GetSteps() const { return hasVolume ? steps : VOLUME_NONE; }
u32 OVolumeOut::GetMinimum() const { return hasVolume ? minimum : VOLUME_NONE; }
u32 OVolumeOut::GetMaximum() const { return hasVolume ? maximum : VOLUME_NONE; }

u32 OVolumeOut::GetVolume() const {
  if (!hasVolume) return VOLUME_NONE;
  long value = 0;
  if (snd_mixer_selem_get_playback_volume(Element(element), SND_MIXER_SCHN_FRONT_LEFT, &value) < 0 ||
      value < 0)
    return VOLUME_NONE;
  return static_cast<u32>(value);
}

void OVolumeOut::SetVolume(u32 v) {
  if (!hasVolume || v < minimum || v > maximum) return;
  snd_mixer_selem_set_playback_volume_all(Element(element), static_cast<long>(v));
  lastVolume = v;
}

void OVolumeOut::SetCallback(OVolumeCallback function, u32 user) {
  callback = function;
  callbackUser = user;
}

void OVolumeOut::SetLineState(bool enabled) {
  if (!lineFound) return;
  // The playback switch is ALSA's mute: on means sounding.
  if (snd_mixer_selem_has_playback_switch(Element(element)))
    snd_mixer_selem_set_playback_switch_all(Element(element), enabled ? 1 : 0);
}

void OVolumeOut::HandleEvents() {
  if (!opened) return;
  snd_mixer_handle_events(Mixer(mixer));
  const u32 now = GetVolume();
  if (now == VOLUME_NONE || now == lastVolume) return;
  lastVolume = now;
  if (callback != nullptr) callback(now, callbackUser);
}
