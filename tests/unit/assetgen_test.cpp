// The asset generator as the build runs it, its files read back the way the
// game and the desktop read them.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>

#include "audio/wave_reader.h"
#include "temp_dir.h"

namespace {

// The generator's four files, written once for the suite.
const TempDir& Files() {
    static TempDir dir;
    static int status =
        std::system(("'" QEL_ASSETS_TOOL "' " + dir.path).c_str());
    EXPECT_EQ(status, 0);
    return dir;
}

// Between the pause title and the HUD, in a surround the pause screen keys
// out: white, with nothing nearly white anywhere.
TEST(AssetGenerator, KeyboardPictureFitsAndItsSurroundIsKeyedOut) {
    SDL_Surface* jpeg = IMG_Load(Files().File("finger.jpg").c_str());
    ASSERT_NE(jpeg, nullptr) << IMG_GetError();
    SDL_Surface* s = SDL_ConvertSurfaceFormat(jpeg, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(jpeg);
    EXPECT_LE(s->w, 1000);
    EXPECT_LE(s->h, 320);
    int edge = 0, pale = 0; // on the grey pause screen, a pale speck
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            Uint32 p =
                ((Uint32*)((Uint8*)s->pixels + y * s->pitch))[x] & 0xFFFFFF;
            edge +=
                (x % (s->w - 1) == 0 || y % (s->h - 1) == 0) && p != 0xFFFFFF;
            pale += p != 0xFFFFFF &&
                    std::min({p >> 16, p >> 8 & 0xFF, p & 0xFF}) >= 245;
        }
    EXPECT_EQ(edge + pale, 0)
        << edge << " not white at the edge, " << pale << " nearly white";
    SDL_FreeSurface(s);
}

// In the sound buffers' one format (else at the wrong pitch): a short knock
// and a longer chime, loud, ending without a click.
TEST(AssetGenerator, SoundsAreInTheGamesFormat) {
    const struct {
        const char* name;
        double shortest, longest;
    } sounds[] = {{"damage_axe.wav", 0.15, 0.3},
                  {"item_specialdrop.wav", 0.6, 1.0}};
    for (const auto& sound : sounds) {
        SCOPED_TRACE(sound.name);
        WaveData wave = {};
        ASSERT_TRUE(ReadWaveFile(Files().File(sound.name).c_str(), &wave));
        const WAVEFORMATEX& f = wave.format;
        EXPECT_EQ(std::make_tuple(f.wFormatTag, f.nChannels, f.nSamplesPerSec,
                                  f.wBitsPerSample),
                  std::make_tuple(WAVE_FORMAT_PCM, 2, 11025u, 16));
        const int16_t* samples = (const int16_t*)wave.data;
        const size_t count = wave.dataSize / 2;
        EXPECT_GE(count / 2 / 11025.0, sound.shortest);
        EXPECT_LE(count / 2 / 11025.0, sound.longest);
        int peak = 0;
        for (size_t i = 0; i < count; ++i)
            peak = std::max(peak, std::abs((int)samples[i]));
        EXPECT_GT(peak, 32767 / 2);
        EXPECT_EQ(samples[count - 1], 0);
        free(wave.data);
    }
}

// No silence at either end: the frame's check sends it back to the start.
TEST(AssetGenerator, MusicLoopsWithoutAGap) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 4096), 0) << Mix_GetError();
    Mix_Chunk* chunk = Mix_LoadWAV(Files().File("music.mp3").c_str());
    ASSERT_NE(chunk, nullptr) << Mix_GetError();
    const int16_t* s = (const int16_t*)chunk->abuf;
    const size_t n = chunk->alen / 2, tenMs = 441 * 2;
    EXPECT_GE(n / 2 / 44100.0, 60.0);
    for (size_t from : {size_t(0), n - tenMs}) { // the start, the end
        double e = 0;
        for (size_t i = from; i < from + tenMs; ++i)
            e += (double)s[i] * s[i];
        EXPECT_GT(std::sqrt(e / tenMs), 32768 * 0.01) << "silent at " << from;
    }
    Mix_FreeChunk(chunk);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace
