#include "recorder/RecordingSettings.h"

int sampleRateFor(QualityPreset preset)
{
    switch (preset) {
    case QualityPreset::Low:
        return 12000;
    case QualityPreset::Medium:
        return 24000;
    case QualityPreset::High:
        return 48000;
    }
    return 24000;
}

RecordingSettings recordingSettings(QualityPreset preset)
{
    return {
        {RecordingKey::formatId, kAudioFormatLinearPCM},
        {RecordingKey::sampleRate, sampleRateFor(preset)},
        {RecordingKey::numberOfChannels, 1},
        {RecordingKey::bitDepth, 16},
        {RecordingKey::isBigEndian, 0},
        {RecordingKey::isFloat, 0},
        {RecordingKey::isNonInterleaved, 0},
    };
}
