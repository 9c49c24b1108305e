// Writes the seed corpus of the WAV reader's fuzz target into a directory:
// the layouts the unit tests read, good and bad.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "../support/audio_files.h"

using namespace audio_files;

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    Bytes fmt16 = Chunk("fmt ", FormatData(1, 2, 11025, 16));
    Bytes data = Chunk("data", Samples(40));
    std::vector<std::pair<std::string, Bytes>> seeds = {
        {"canonical.wav", SimpleWave(Samples(40))},
        {"fmt18.wav",
         Riff("WAVE", {Chunk("fmt ", FormatData(1, 2, 11025, 16, 18)), data})},
        {"fmt40.wav",
         Riff("WAVE", {Chunk("fmt ", FormatData(1, 2, 11025, 16, 40)), data})},
        {"list_first.wav",
         Riff("WAVE", {Chunk("LIST", Samples(9)), Chunk("fact", Samples(4)),
                       fmt16, data})},
        {"mono8.wav", SimpleWave(Samples(33), 1, 22050, 8)},
        {"empty_data.wav", SimpleWave(Bytes{})},
        {"odd_chunks.wav",
         Riff("WAVE", {Chunk("fmt ", FormatData(1, 2, 11025, 16, 19)),
                       Chunk("data", Samples(5))})},
        {"float.wav",
         Riff("WAVE", {Chunk("fmt ", FormatData(3, 2, 11025, 32, 18)), data})},
        {"data_first.wav", Riff("WAVE", {data, fmt16})},
        {"avi.riff", Riff("AVI ", {fmt16, data})},
        {"claims_more.wav",
         Riff("WAVE", {fmt16, ChunkClaiming("data", 0xFFFFFFF0u, Samples(8))})},
        {"form_claims_more.wav",
         RiffClaiming("WAVE", 0xFFFFFFFFu, {fmt16, data})},
    };
    for (const auto& seed : seeds) {
        std::string path = std::string(argv[1]) + "/" + seed.first;
        if (!WriteBytes(path, seed.second)) {
            fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
