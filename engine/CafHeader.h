#pragma once

#include <cstdint>
#include <optional>
#include <span>

// What the header of a Core Audio Format file says, read by libsndfile from a copy of the file's
// first bytes held in memory, so that nothing but those bytes is ever read.
struct CafHeader {
    int format = 0; // libsndfile's SF_FORMAT_* of the file
    int rate = 0;
    int channels = 0;
    std::int64_t frames = 0;

    // The bytes `head` start a file of `length` bytes in all (the audio beyond them is not
    // needed). Nothing when they do not start a CAF file libsndfile can read.
    static std::optional<CafHeader> read(std::span<const unsigned char> head, std::int64_t length);

    // Whether it describes the recorder's own files: 16-bit PCM, mono.
    bool isRecording() const;
};
