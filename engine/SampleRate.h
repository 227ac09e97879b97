#pragma once

// The rates a recording is made at. Every recording is 16-bit little-endian integer PCM, mono,
// in a Core Audio Format file.
enum class SampleRate { Hz12000 = 12000, Hz24000 = 24000, Hz48000 = 48000 };

constexpr int hertz(SampleRate rate)
{
    return static_cast<int>(rate);
}
