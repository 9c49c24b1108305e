#include "mp3_writer.h"

#include <lame/lame.h>

#include <cstdio>
#include <cstring>

namespace {

// The encoder in chunks of this many frames: its output buffer is sized
// from the chunk, as lame.h asks (1.25 x samples + 7200).
constexpr int kChunkFrames = 1152 * 32;

bool Encode(lame_global_flags* lame, const std::vector<int16_t>& samples,
            std::vector<unsigned char>& out) {
    const size_t frames = samples.size() / 2;
    std::vector<unsigned char> chunk(kChunkFrames * 5 / 4 + 7200);
    for (size_t done = 0; done < frames; done += kChunkFrames) {
        int n = static_cast<int>(frames - done < kChunkFrames ? frames - done
                                                              : kChunkFrames);
        // lame.h declares the input non-const but does not write it.
        short* pcm = const_cast<short*>(samples.data() + 2 * done);
        int bytes = lame_encode_buffer_interleaved(
            lame, pcm, n, chunk.data(), static_cast<int>(chunk.size()));
        if (bytes < 0) return false;
        out.insert(out.end(), chunk.begin(), chunk.begin() + bytes);
    }
    int bytes =
        lame_encode_flush(lame, chunk.data(), static_cast<int>(chunk.size()));
    if (bytes < 0) return false;
    out.insert(out.end(), chunk.begin(), chunk.begin() + bytes);

    // The encoder began the stream with an empty frame kept for this tag.
    unsigned char tag[2880];
    size_t tagBytes = lame_get_lametag_frame(lame, tag, sizeof tag);
    if (tagBytes > sizeof tag || tagBytes > out.size()) return false;
    std::memcpy(out.data(), tag, tagBytes);
    return true;
}

} // namespace

bool EncodeStereoMp3(const std::vector<int16_t>& samples, int rate, int kbps,
                     std::vector<unsigned char>& mp3) {
    lame_global_flags* lame = lame_init();
    if (!lame) {
        std::fprintf(stderr, "qel-assets: cannot start the MP3 encoder\n");
        return false;
    }
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_brate(lame, kbps);
    lame_set_VBR(lame, vbr_off);
    lame_set_quality(lame, 3); // 2 takes twice as long
    lame_set_bWriteVbrTag(lame, 1);
    lame_set_write_id3tag_automatic(lame, 0);
    mp3.clear();
    bool ok = lame_init_params(lame) >= 0 && Encode(lame, samples, mp3);
    lame_close(lame);
    if (!ok) std::fprintf(stderr, "qel-assets: MP3 encoding failed\n");
    return ok;
}
