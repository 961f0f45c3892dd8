#pragma once
// The one audio output the effects and the music share. Both players open it; it stays open while
// either of them needs it. The output format is fixed so that the music can be rendered straight
// into the mixer's buffer: 44100 Hz, signed 16-bit native-endian samples, two interleaved channels.

constexpr int AUDIO_RATE = 44100;     // frames per second
constexpr int AUDIO_CHANNELS = 2;     // stereo, interleaved left/right
constexpr int AUDIO_CHUNK = 1024;     // frames per mixer pass: about 23 ms of latency

// Opens the device on first use (the audio subsystem and the mixer) and counts users. False when
// no device opens: the caller then stays silent and must not call CloseAudioDevice.
bool OpenAudioDevice();
// Drops one user; the last one closes the mixer and the audio subsystem.
void CloseAudioDevice();
// True while at least one user holds the device open.
bool AudioDeviceOpen();
