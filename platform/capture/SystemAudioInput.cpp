#include "platform/AudioInput.h"

#ifdef REGISTRATORE_PORTABLE
#include "platform/capture/qt/QtAudioInput.h"
namespace platform {
using SystemAudioInput = QtAudioInput; // Qt Multimedia's QAudioSource
}
#else
#include "platform/capture/pulse/PulseAudioInput.h"
namespace platform {
using SystemAudioInput = PulseAudioInput; // PulseAudio, or PipeWire's PulseAudio server
}
#endif

namespace platform {

std::unique_ptr<AudioInput> makeSystemAudioInput()
{
    return std::make_unique<SystemAudioInput>();
}

} // namespace platform
