#include "platform/AudioPlayer.h"

#ifdef REGISTRATORE_PORTABLE
#include "platform/playback/qt/QtAudioPlayer.h"
namespace platform {
using SystemAudioPlayer = QtAudioPlayer; // Qt Multimedia's QAudioSink
}
#else
#include "platform/playback/pulse/PulseAudioPlayer.h"
namespace platform {
using SystemAudioPlayer = PulseAudioPlayer; // PulseAudio, or PipeWire's PulseAudio server
}
#endif

namespace platform {

std::unique_ptr<AudioPlayer> makeSystemAudioPlayer()
{
    return std::make_unique<SystemAudioPlayer>();
}

} // namespace platform
