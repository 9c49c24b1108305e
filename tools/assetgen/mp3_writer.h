// MP3 encoding through libmp3lame, with the LAME tag written into the first
// frame: decoders that read it (mpg123 does) trim the encoder's delay and
// padding, so a piece written to loop still loops without a gap.
#ifndef QEL_ASSETGEN_MP3_WRITER_H
#define QEL_ASSETGEN_MP3_WRITER_H

#include <cstdint>
#include <vector>

// Encodes interleaved 16-bit stereo at rate as constant bit rate kbps into
// mp3; false, with a message on stderr, on failure.
bool EncodeStereoMp3(const std::vector<int16_t>& samples, int rate, int kbps,
                     std::vector<unsigned char>& mp3);

#endif
