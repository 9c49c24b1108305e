// The asset generator, run as the build runs it (qel-assets DIR), and its
// four files read back the way the game reads them.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const kFiles[] = {"finger.jpg", "damage_axe.wav",
                              "item_specialdrop.wav", "music.mp3"};

// build/qel-assets, beside the tests/ folder that holds this binary.
std::string GeneratorPath() {
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "";
    std::string path(exe, n);
    path = path.substr(0, path.rfind('/')); // build/tests
    path = path.substr(0, path.rfind('/')); // build
    return path + "/qel-assets";
}

struct TempDir {
    std::string path;
    TempDir() {
        char name[] = "/tmp/qel-assetgen-XXXXXX";
        if (mkdtemp(name)) path = name;
    }
    ~TempDir() {
        if (path.empty()) return;
        if (DIR* d = opendir(path.c_str())) {
            while (dirent* e = readdir(d))
                if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
                    std::remove((path + "/" + e->d_name).c_str());
            closedir(d);
        }
        rmdir(path.c_str());
    }
};

struct GeneratorRun {
    int exitCode = -1; // -1: did not exit normally
    std::string errors;
};

// Runs the generator on dir, its messages collected from stderr.
GeneratorRun RunGenerator(const std::string& dir, const std::string& errFile) {
    std::string cmd =
        "'" + GeneratorPath() + "' '" + dir + "' 2>'" + errFile + "'";
    int status = std::system(cmd.c_str());
    GeneratorRun run;
    if (status != -1 && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    std::ifstream in(errFile);
    run.errors.assign(std::istreambuf_iterator<char>(in), {});
    return run;
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

uint32_t Le32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
           static_cast<uint32_t>(b[at + 3]) << 24;
}

uint16_t Le16(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

std::string Tag(const std::vector<unsigned char>& b, size_t at) {
    return std::string(b.begin() + at, b.begin() + at + 4);
}

// The generator runs once for the whole suite; each test reads its files.
class AssetGenerator : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        run_ = RunGenerator(dir_->path, dir_->path + "/errors.txt");
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override {
        ASSERT_FALSE(dir_->path.empty()) << "no temporary directory";
        ASSERT_EQ(run_.exitCode, 0)
            << GeneratorPath() << " failed: " << run_.errors;
    }
    static std::string File(const char* name) {
        return dir_->path + "/" + name;
    }

    static TempDir* dir_;
    static GeneratorRun run_;
};

TempDir* AssetGenerator::dir_ = nullptr;
GeneratorRun AssetGenerator::run_;

// ---------------------------------------------------------------- sounds

struct Wave {
    std::vector<int16_t> left, right;
};

// Checks the canonical 44-byte layout of a 16-bit stereo 11025 Hz PCM file
// and returns its samples.
Wave ReadCanonicalWave(const std::string& path) {
    std::vector<unsigned char> b = ReadBytes(path);
    Wave w;
    EXPECT_GE(b.size(), 44u) << path;
    if (b.size() < 44) return w;
    EXPECT_EQ(Tag(b, 0), "RIFF");
    EXPECT_EQ(Le32(b, 4), b.size() - 8);
    EXPECT_EQ(Tag(b, 8), "WAVE");
    EXPECT_EQ(Tag(b, 12), "fmt ");
    EXPECT_EQ(Le32(b, 16), 16u);
    EXPECT_EQ(Le16(b, 20), 1) << "PCM";
    EXPECT_EQ(Le16(b, 22), 2) << "channels";
    EXPECT_EQ(Le32(b, 24), 11025u);
    EXPECT_EQ(Le32(b, 28), 44100u) << "bytes per second";
    EXPECT_EQ(Le16(b, 32), 4) << "block align";
    EXPECT_EQ(Le16(b, 34), 16) << "bits";
    EXPECT_EQ(Tag(b, 36), "data");
    uint32_t size = Le32(b, 40);
    EXPECT_EQ(size, b.size() - 44);
    EXPECT_EQ(size % 4, 0u);
    for (size_t at = 44; at + 4 <= b.size(); at += 4) {
        w.left.push_back(static_cast<int16_t>(Le16(b, at)));
        w.right.push_back(static_cast<int16_t>(Le16(b, at + 2)));
    }
    return w;
}

// Plays cleanly: loud enough, no clipping, no DC, silent at the very end.
void ExpectClean(const Wave& w, const char* name) {
    SCOPED_TRACE(name);
    ASSERT_FALSE(w.left.empty());
    for (const std::vector<int16_t>* ch : {&w.left, &w.right}) {
        int peak = 0;
        double sum = 0;
        for (int16_t s : *ch) {
            peak = std::max(peak, std::abs(static_cast<int>(s)));
            sum += s;
        }
        EXPECT_GT(peak, 32767 / 2) << "too quiet";
        EXPECT_LT(peak, 32767 * 95 / 100) << "at full scale";
        EXPECT_LT(std::fabs(sum / ch->size()), 32767 * 0.002) << "DC offset";
        EXPECT_EQ(ch->back(), 0) << "ends on a click";
        // The last 10 ms are already a quiet fade.
        for (size_t i = ch->size() - 110; i < ch->size(); ++i)
            ASSERT_LT(std::abs((*ch)[i]), 32767 / 50) << "frame " << i;
    }
}

// Both are short, and the hit is struck at once: its loudest moment comes
// within its first 30 ms.
TEST_F(AssetGenerator, SoundEffectsAreShortCleanCanonicalPcm) {
    Wave hit = ReadCanonicalWave(File("damage_axe.wav"));
    Wave chime = ReadCanonicalWave(File("item_specialdrop.wav"));
    ExpectClean(hit, "damage_axe.wav");
    ExpectClean(chime, "item_specialdrop.wav");
    ASSERT_FALSE(hit.left.empty());
    ASSERT_FALSE(chime.left.empty());

    double hitSeconds = hit.left.size() / 11025.0;
    double chimeSeconds = chime.left.size() / 11025.0;
    EXPECT_GE(hitSeconds, 0.15);
    EXPECT_LE(hitSeconds, 0.3);
    EXPECT_GE(chimeSeconds, 0.6);
    EXPECT_LE(chimeSeconds, 1.0);

    size_t loudest = 0;
    for (size_t i = 0; i < hit.left.size(); ++i)
        if (std::abs(hit.left[i]) > std::abs(hit.left[loudest])) loudest = i;
    EXPECT_LT(loudest, 11025 * 30 / 1000u);
}

// ---------------------------------------------------------------- picture

// SDL_image's bookkeeping as a test found it; Quit only what it started.
class ImageLibrary {
  public:
    ImageLibrary() : before_(IMG_Init(0)) {}
    ~ImageLibrary() {
        if (!before_) IMG_Quit();
    }

  private:
    int before_;
};

TEST_F(AssetGenerator, KeyboardPictureFitsWithAPureWhiteSurround) {
    ImageLibrary library;
    SDL_Surface* loaded = IMG_Load(File("finger.jpg").c_str());
    ASSERT_NE(loaded, nullptr) << IMG_GetError();
    SDL_Surface* s =
        SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(loaded);
    ASSERT_NE(s, nullptr);
    // Between the pause title and the HUD of a 1024 by 768 screen.
    EXPECT_LE(s->w, 1000);
    EXPECT_LE(s->h, 320);
    EXPECT_GE(s->w, 640);
    EXPECT_GE(s->h, 200);

    auto pixel = [s](int x, int y) {
        Uint32 p = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) +
                                             y * s->pitch)[x];
        return p & 0xFFFFFF;
    };
    long whiteMargin = 0, fringe = 0, coloured = 0;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            Uint32 p = pixel(x, y);
            int r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
            bool margin = x < 8 || y < 8 || x >= s->w - 8 || y >= s->h - 8;
            if (margin && p == 0xFFFFFF) ++whiteMargin;
            // Nearly white reads as a pale speck on the grey pause screen.
            if (p != 0xFFFFFF && std::min({r, g, b}) >= 245) ++fringe;
            if (std::max({r, g, b}) - std::min({r, g, b}) > 60) ++coloured;
        }
    long marginPixels = 2L * 8 * s->w + 2L * 8 * (s->h - 16);
    EXPECT_EQ(pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(pixel(s->w - 1, 0), 0xFFFFFFu);
    EXPECT_EQ(pixel(0, s->h - 1), 0xFFFFFFu);
    EXPECT_EQ(pixel(s->w - 1, s->h - 1), 0xFFFFFFu);
    EXPECT_EQ(whiteMargin, marginPixels) << "margin not exactly white";
    EXPECT_EQ(fringe, 0) << "near-white pixels";
    // The keys are coloured: a good part of the picture is not grey.
    EXPECT_GT(coloured, s->w * s->h / 4);
    SDL_FreeSurface(s);
}

// ---------------------------------------------------------------- music

// The audio device and SDL_mixer's decoders, released as they were found.
class MixerDevice {
  public:
    MixerDevice() : decoders_(Mix_Init(0)) {
        audio_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        open_ = audio_ && Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 4096) == 0;
    }
    ~MixerDevice() {
        if (open_) Mix_CloseAudio();
        if (!decoders_) Mix_Quit();
        if (audio_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    bool open() const { return open_; }

  private:
    int decoders_;
    bool audio_ = false, open_ = false;
};

TEST_F(AssetGenerator, MusicLastsOverAMinuteAndLoopsWithoutGaps) {
    MixerDevice device;
    ASSERT_TRUE(device.open()) << Mix_GetError();
    Mix_Music* music = Mix_LoadMUS(File("music.mp3").c_str());
    ASSERT_NE(music, nullptr) << Mix_GetError();
    double duration = Mix_MusicDuration(music);
    Mix_FreeMusic(music);
    EXPECT_GE(duration, 60.0);
    EXPECT_LE(duration, 120.0);

    // Decoded whole, at the device's 44100 Hz 16-bit stereo.
    Mix_Chunk* chunk = Mix_LoadWAV(File("music.mp3").c_str());
    ASSERT_NE(chunk, nullptr) << Mix_GetError();
    const int16_t* s = reinterpret_cast<const int16_t*>(chunk->abuf);
    size_t n = chunk->alen / 2;
    EXPECT_NEAR(n / 2 / 44100.0, duration, 0.05);
    int peak = 0;
    double energy = 0;
    for (size_t i = 0; i < n; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
        energy += static_cast<double>(s[i]) * s[i];
    }
    double rmsDb = 20 * std::log10(std::sqrt(energy / n) / 32768.0);
    EXPECT_LT(peak, 32767 * 95 / 100) << "clipped";
    EXPECT_GT(rmsDb, -28.0);
    EXPECT_LT(rmsDb, -10.0);
    // No silence at either end (the encoder's delay and padding are
    // trimmed), so the end runs straight into the start.
    auto rms = [s](size_t from, size_t count) {
        double e = 0;
        for (size_t i = from; i < from + count; ++i)
            e += static_cast<double>(s[i]) * s[i];
        return std::sqrt(e / count);
    };
    const size_t tenMs = 441 * 2;
    EXPECT_GT(rms(0, tenMs), 32768 * 0.01) << "silent start";
    EXPECT_GT(rms(n - tenMs, tenMs), 32768 * 0.01) << "silent end";
    Mix_FreeChunk(chunk);
}

// ---------------------------------------------------------------- the run

TEST_F(AssetGenerator, SameFilesOnEveryRun) {
    TempDir again;
    ASSERT_FALSE(again.path.empty());
    GeneratorRun run = RunGenerator(again.path, again.path + "/errors.txt");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    for (const char* name : kFiles) {
        std::vector<unsigned char> first = ReadBytes(File(name));
        EXPECT_FALSE(first.empty()) << name;
        EXPECT_TRUE(first == ReadBytes(again.path + "/" + name)) << name;
    }
}

TEST(AssetGeneratorFailure, UnwritableDirectoryIsReported) {
    TempDir scratch;
    ASSERT_FALSE(scratch.path.empty());
    GeneratorRun run = RunGenerator(scratch.path + "/missing/dir",
                                    scratch.path + "/errors.txt");
    EXPECT_EQ(run.exitCode, 1);
    for (const char* name : kFiles)
        EXPECT_NE(run.errors.find(std::string("missing/dir/") + name),
                  std::string::npos)
            << name << " not named in: " << run.errors;
}

} // namespace
