#include "wav_writer.h"

#include "output_file.h"

namespace {

void Put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<unsigned char>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Byte by byte: GCC 12 at -O3 takes a 4-byte range insert for an overflow.
void PutTag(std::vector<unsigned char>& out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(tag[i]));
}

} // namespace

bool WriteStereoWave(const std::string& path,
                     const std::vector<int16_t>& samples, uint32_t rate) {
    const uint32_t channels = 2, bits = 16;
    const uint32_t blockAlign = channels * bits / 8;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);

    std::vector<unsigned char> file;
    file.reserve(44 + dataBytes);
    PutTag(file, "RIFF");
    Put32(file, 36 + dataBytes); // everything after this field
    PutTag(file, "WAVE");
    PutTag(file, "fmt ");
    Put32(file, 16);
    Put16(file, 1); // PCM
    Put16(file, channels);
    Put32(file, rate);
    Put32(file, rate * blockAlign);
    Put16(file, blockAlign);
    Put16(file, bits);
    PutTag(file, "data");
    Put32(file, dataBytes);
    // Sample bytes little-endian whatever the host's order.
    for (int16_t s : samples)
        Put16(file, static_cast<uint16_t>(s));

    FILE* f = OpenOutput(path);
    return f && FinishOutput(f, path, file);
}
