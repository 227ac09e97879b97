#pragma once

// The benchmark's old path of the PulseAudio input (bench/engine_capture.cpp); the input is in
// platform/capture/pulse/ now.
#include "platform/capture/pulse/PulseAudioInput.h"
