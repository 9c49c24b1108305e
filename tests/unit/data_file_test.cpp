// Names that hold no data file the game could use: a directory, a FIFO
// nobody writes, devices, a link to itself, and files of gigabytes (all
// zeros, or a good file's first bytes and then nothing). The open helper
// refuses each at once, and so do the three stand-ins that read the data
// files: mmio under the WAV reader, GDI+ and the filter graph. None of them
// may wait or read what it refuses.
#include <gtest/gtest.h>

#include <windows.h>
#include <dshow.h>
#include <gdiplus.h>
#include <mmsystem.h>

#include <SDL.h>
#include <SDL_image.h>

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "audio/wave_reader.h"
#include "audio_files.h"
#include "dshow/dshow_private.h"
#include "gdiplus/gdiplus_private.h"
#include "kernel/data_file.h"
#include "testing/audio.h"
#include "winmm/mmio_private.h"

using audio_files::Bytes;

namespace {

const uint64_t kGigabytes5 = 5ull << 30;

// Interrupts the calling thread while a guarded call still runs after two
// seconds, so that a call that waits (an open of a FIFO with no writer)
// fails the test instead of hanging the suite: the open returns EINTR and
// `Fired` tells. The signal goes to this thread alone.
class WaitGuard {
  public:
    WaitGuard() : target(pthread_self()) {
        struct sigaction action = {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0; // no SA_RESTART: the waiting call gives up
        sigaction(SIGUSR2, &action, &previous);
        watchdog = std::thread([this] {
            std::unique_lock<std::mutex> lock(mutex);
            if (changed.wait_for(lock, std::chrono::seconds(2),
                                 [this] { return done; }))
                return;
            fired = true;
            while (!done) {
                pthread_kill(target, SIGUSR2);
                changed.wait_for(lock, std::chrono::milliseconds(100));
            }
        });
    }
    ~WaitGuard() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        changed.notify_all();
        watchdog.join();
        sigaction(SIGUSR2, &previous, nullptr);
    }
    bool Fired() {
        std::lock_guard<std::mutex> lock(mutex);
        return fired;
    }

  private:
    pthread_t target;
    struct sigaction previous = {};
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    bool fired = false;
    std::thread watchdog;
};

// Bytes this process has read from files, devices and pipes so far.
uint64_t BytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}

// Descriptors this process has open.
int OpenDescriptors() {
    int count = 0;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (readdir(fds))
            ++count;
        closedir(fds);
    }
    return count;
}

// What a refused name is, as it is made in the temporary directory.
enum class Kind {
    Missing,
    Directory,
    Fifo,
    Socket,
    DevZero,
    DevNull,
    DevUrandom,
    SelfLoop,
    SparseZeros,   // 5 GB, all zeros
    HeadThenSparse // a good file's first bytes, then growth to 5 GB
};

struct KindCase {
    const char* name;
    Kind kind;
    int error; // what OpenDataFile leaves in errno
};

const KindCase kKinds[] = {
    {"Missing", Kind::Missing, ENOENT},
    {"Directory", Kind::Directory, EISDIR},
    {"Fifo", Kind::Fifo, ENODEV},
    {"Socket", Kind::Socket, ENODEV},
    {"LinkToDevZero", Kind::DevZero, ENODEV},
    {"LinkToDevNull", Kind::DevNull, ENODEV},
    {"LinkToDevUrandom", Kind::DevUrandom, ENODEV},
    {"LinkToItself", Kind::SelfLoop, ELOOP},
    {"SparseZeros5G", Kind::SparseZeros, EFBIG},
    {"HeadThenSparse5G", Kind::HeadThenSparse, EFBIG},
};

// Parameterised tests are named by the kind.
void PrintTo(const KindCase& kind, std::ostream* out) {
    *out << kind.name;
}

bool IsTooLarge(Kind kind) {
    return kind == Kind::SparseZeros || kind == Kind::HeadThenSparse;
}

// Writes `head` and grows the file, sparse, to `size` bytes.
bool WriteSparse(const std::string& path, const Bytes& head, uint64_t size) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = head.empty() ||
              write(fd, head.data(), head.size()) == ssize_t(head.size());
    ok = ftruncate(fd, off_t(size)) == 0 && ok;
    return close(fd) == 0 && ok;
}

// Makes `path` the kind of name `kind` says; `head` is the start of a good
// file of the kind read there. The socket stays bound while `socketFd` is
// open.
bool MakeKind(Kind kind, const std::string& path, const Bytes& head,
              int* socketFd) {
    switch (kind) {
    case Kind::Missing:
        return true;
    case Kind::Directory:
        return mkdir(path.c_str(), 0700) == 0;
    case Kind::Fifo:
        return mkfifo(path.c_str(), 0600) == 0;
    case Kind::Socket: {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        if (path.size() >= sizeof(address.sun_path)) return false;
        memcpy(address.sun_path, path.c_str(), path.size() + 1);
        *socketFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        return *socketFd >= 0 &&
               bind(*socketFd, reinterpret_cast<sockaddr*>(&address),
                    sizeof(address)) == 0;
    }
    case Kind::DevZero:
        return symlink("/dev/zero", path.c_str()) == 0;
    case Kind::DevNull:
        return symlink("/dev/null", path.c_str()) == 0;
    case Kind::DevUrandom:
        return symlink("/dev/urandom", path.c_str()) == 0;
    case Kind::SelfLoop:
        return symlink(path.c_str(), path.c_str()) == 0;
    case Kind::SparseZeros:
        return WriteSparse(path, Bytes(), kGigabytes5);
    case Kind::HeadThenSparse:
        return WriteSparse(path, head, kGigabytes5);
    }
    return false;
}

// ------------------------------------------------------------ the helper

TEST(OpenDataFileTest, OpensARegularFileOrALinkToOneUpToItsLimit) {
    audio_files::TempDir dir;
    std::string path = dir.File("ten.bin");
    ASSERT_TRUE(audio_files::WriteBytes(path, Bytes(10, 0x5A)));
    std::string link = dir.File("link.bin");
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);

    for (const std::string& name : {path, link}) {
        uint64_t size = 0;
        int fd = OpenDataFile(name.c_str(), 10, &size);
        ASSERT_GE(fd, 0) << name << ": " << strerror(errno);
        EXPECT_EQ(size, 10u);
        // An ordinary descriptor: blocking, not handed to child processes.
        EXPECT_EQ(fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
        EXPECT_NE(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
        uint8_t bytes[16];
        EXPECT_EQ(read(fd, bytes, sizeof(bytes)), 10);
        EXPECT_EQ(bytes[9], 0x5A);
        close(fd);
    }
    uint64_t size = 77;
    errno = 0;
    EXPECT_EQ(OpenDataFile(path.c_str(), 9, &size), -1);
    EXPECT_EQ(errno, EFBIG);
    EXPECT_EQ(size, 77u); // untouched when refused
    EXPECT_EQ(OpenDataFile(nullptr, 10, &size), -1);
    EXPECT_EQ(errno, EINVAL);
}

// A temporary directory to make the kinds in, and what refusing one read.
struct Scratch {
    ~Scratch() {
        if (socketFd >= 0) close(socketFd);
    }
    // `kind` at `name`, for a file of a kind that starts with `head`.
    std::string Make(const KindCase& kind, const char* name,
                     const Bytes& head) {
        std::string path = dir.File(name);
        EXPECT_TRUE(MakeKind(kind.kind, path, head, &socketFd))
            << kind.name << ": " << strerror(errno);
        readBefore = BytesReadSoFar();
        return path;
    }
    // Bytes read since the name was made.
    uint64_t BytesRead() { return BytesReadSoFar() - readBefore; }

    audio_files::TempDir dir;
    int socketFd = -1;
    uint64_t readBefore = 0;
};

class DataFileKindTest : public ::testing::TestWithParam<KindCase> {
  protected:
    Scratch scratch;
};

TEST_P(DataFileKindTest, TheHelperRefusesItAtOnce) {
    std::string path =
        scratch.Make(GetParam(), "data.bin", Bytes{'R', 'I', 'F', 'F'});
    uint64_t size = 0;
    int fd;
    {
        WaitGuard guard;
        errno = 0;
        fd = OpenDataFile(path.c_str(), 1u << 30, &size);
        int error = errno;
        EXPECT_FALSE(guard.Fired()) << "the open waited";
        EXPECT_EQ(error, GetParam().error) << strerror(error);
    }
    EXPECT_EQ(fd, -1);
    if (fd >= 0) close(fd);
    EXPECT_LT(scratch.BytesRead(), 4096u);
}

// ------------------------------------------------------------ the WAV reader

TEST_P(DataFileKindTest, TheWaveReaderRefusesItWithoutReading) {
    Bytes head = audio_files::SimpleWave(audio_files::Samples(64));
    std::string path = scratch.Make(GetParam(), "damage_axe.wav", head);
    TestResetAudio();
    WaveData wave = {};
    bool read;
    {
        WaitGuard guard;
        read = ReadWaveFile(path.c_str(), &wave);
        EXPECT_FALSE(guard.Fired()) << "the open waited";
    }
    EXPECT_FALSE(read);
    EXPECT_EQ(wave.data, nullptr);
    EXPECT_EQ(TestMmioOpenHandles(), 0);
    EXPECT_LT(scratch.BytesRead(), 65536u);
    free(wave.data);
}

// A data chunk may claim all that follows; the file holds it (sparse), so
// only the size limit keeps the reader from taking all of it.
TEST(WaveFileSizeTest, ASoundIsReadUpToTheLimitAndRefusedPastIt) {
    audio_files::TempDir dir;
    struct Case {
        uint64_t fileSize;
        bool read;
    } cases[] = {{kMmioMaxFileBytes, true},
                 {kMmioMaxFileBytes + 1, false},
                 {64u << 20, false},
                 {(3u << 29) /* 1.5 GB */, false}};
    for (const Case& c : cases) {
        Bytes header = audio_files::Riff(
            "WAVE", {audio_files::Chunk(
                        "fmt ", audio_files::FormatData(1, 2, 11025, 16))});
        audio_files::PutId(header, "data");
        audio_files::PutLe32(header, uint32_t(c.fileSize - header.size() - 4));
        uint32_t riffSize = uint32_t(c.fileSize - 8);
        memcpy(&header[4], &riffSize, 4);
        std::string path = dir.File("big.wav");
        ASSERT_TRUE(WriteSparse(path, header, c.fileSize));

        uint64_t before = BytesReadSoFar();
        WaveData wave = {};
        EXPECT_EQ(ReadWaveFile(path.c_str(), &wave), c.read) << c.fileSize;
        uint64_t read = BytesReadSoFar() - before;
        if (c.read) {
            EXPECT_EQ(wave.dataSize, c.fileSize - 44);
        } else {
            EXPECT_EQ(wave.data, nullptr);
            EXPECT_LT(read, 65536u) << c.fileSize;
        }
        free(wave.data);
        EXPECT_EQ(TestMmioOpenHandles(), 0);
    }
}

// ------------------------------------------------------------ the picture

class DataPictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr),
                  Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token); }
    // The first bytes of a real JPEG of 64 by 48 pixels.
    Bytes JpegHead() {
        std::string path = scratch.dir.File("good.jpg");
        SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(
            0, 64, 48, 32, SDL_PIXELFORMAT_ARGB8888);
        EXPECT_NE(picture, nullptr);
        if (!picture) return Bytes();
        SDL_FillRect(picture, nullptr, 0xFF3060C0);
        EXPECT_EQ(IMG_SaveJPG(picture, path.c_str(), 90), 0);
        SDL_FreeSurface(picture);
        Bytes bytes = audio_files::ReadBytes(path);
        EXPECT_GT(bytes.size(), 600u);
        bytes.resize(600);
        return bytes;
    }
    Gdiplus::GpStatus Open(const std::string& path,
                           Gdiplus::GpBitmap** bitmap) {
        std::u16string wide(path.begin(), path.end());
        WaitGuard guard;
        Gdiplus::GpStatus status =
            Gdiplus::DllExports::GdipCreateBitmapFromFile(wide.c_str(), bitmap);
        EXPECT_FALSE(guard.Fired()) << "the open waited";
        return status;
    }

    Scratch scratch;
    ULONG_PTR token = 0;
};

class DataPictureKindTest : public DataPictureTest,
                            public ::testing::WithParamInterface<KindCase> {};

TEST_P(DataPictureKindTest, GdiplusRefusesItWithoutReading) {
    std::string path = scratch.Make(GetParam(), "finger.jpg", JpegHead());
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::GpStatus wanted =
        GetParam().kind == Kind::Missing ? Gdiplus::FileNotFound
        : IsTooLarge(GetParam().kind)    ? Gdiplus::OutOfMemory
                                         : Gdiplus::Win32Error;
    EXPECT_EQ(Open(path, &bitmap), wanted);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_LT(scratch.BytesRead(), 65536u);
}

// A JPEG's first bytes, then growth to just past the file limit: refused
// before a byte is read, although its header states a small picture.
TEST_F(DataPictureTest, APictureFilePastTheLimitIsNotRead) {
    std::string path = scratch.dir.File("finger.jpg");
    ASSERT_TRUE(WriteSparse(path, JpegHead(), kGdipMaxFileBytes + 1));
    uint64_t before = BytesReadSoFar();
    Gdiplus::GpBitmap* bitmap = nullptr;
    EXPECT_EQ(Open(path, &bitmap), Gdiplus::OutOfMemory);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_LT(BytesReadSoFar() - before, 65536u);
}

// ------------------------------------------------------------ the music

class DataMusicTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        pieceDir = new audio_files::TempDir();
        encoded = audio_files::WriteSineMp3(pieceDir->File("piece.mp3"), 2.0);
    }
    static void TearDownTestSuite() {
        delete pieceDir;
        pieceDir = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(encoded) << "the lame command could not encode the piece";
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        TestResetAudio();
        TestRecordAudio(true);
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr,
                                   CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   reinterpret_cast<void**>(&graph)),
                  S_OK);
    }
    void TearDown() override {
        if (graph) graph->Release();
        EXPECT_EQ(TestLiveFilterGraphs(), 0);
        EXPECT_EQ(TestAudioDeviceUsers(), 0);
        CoUninitialize();
        EXPECT_TRUE(TestResetAudio());
    }
    // The two-second piece as lame wrote it, its first frame the tag that
    // states its length.
    static Bytes Piece() {
        return audio_files::ReadBytes(pieceDir->File("piece.mp3"));
    }
    HRESULT Render(const std::string& path) {
        std::u16string wide(path.begin(), path.end());
        WaitGuard guard;
        HRESULT result = graph->RenderFile(wide.c_str(), nullptr);
        EXPECT_FALSE(guard.Fired()) << "the open waited";
        return result;
    }

    static audio_files::TempDir* pieceDir;
    static bool encoded;
    Scratch scratch;
    IGraphBuilder* graph = nullptr;
};

audio_files::TempDir* DataMusicTest::pieceDir = nullptr;
bool DataMusicTest::encoded = false;

class DataMusicKindTest : public DataMusicTest,
                          public ::testing::WithParamInterface<KindCase> {};

TEST_P(DataMusicKindTest, RenderFileRefusesItWithoutReading) {
    Bytes head = Piece();
    head.resize(head.size() / 2);
    std::string path = scratch.Make(GetParam(), "music.mp3", head);
    HRESULT wanted =
        IsTooLarge(GetParam().kind) ? VFW_E_CANNOT_RENDER : VFW_E_NOT_FOUND;
    EXPECT_EQ(Render(path), wanted);
    EXPECT_LT(scratch.BytesRead(), 65536u);
    EXPECT_TRUE(TestAudioEventsOf(AUDIO_EVENT_MUSIC_RENDER).empty());
}

// A regular file that is opened and then found undecodable is closed again
// by each of the three; a piece that plays keeps its file open until the
// graph lets it go.
TEST_F(DataMusicTest, NoStandInKeepsAFileItOpened) {
    std::string text = scratch.dir.File("text");
    ASSERT_TRUE(audio_files::WriteBytes(text, Bytes(5000, 'x')));
    std::u16string wide(text.begin(), text.end());
    int before = OpenDescriptors();

    WaveData wave = {};
    EXPECT_FALSE(ReadWaveFile(text.c_str(), &wave));
    EXPECT_EQ(OpenDescriptors(), before) << "mmio";

    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    Gdiplus::GpBitmap* bitmap = nullptr;
    EXPECT_EQ(
        Gdiplus::DllExports::GdipCreateBitmapFromFile(wide.c_str(), &bitmap),
        Gdiplus::UnknownImageFormat);
    Gdiplus::GdiplusShutdown(token);
    EXPECT_EQ(OpenDescriptors(), before) << "GDI+";

    EXPECT_EQ(Render(text), VFW_E_CANNOT_RENDER);
    EXPECT_EQ(OpenDescriptors(), before) << "the filter graph";

    ASSERT_EQ(Render(pieceDir->File("piece.mp3")), S_OK);
    EXPECT_EQ(OpenDescriptors(), before + 1) << "the music's own";
    graph->Release();
    graph = nullptr;
    EXPECT_EQ(OpenDescriptors(), before) << "after the graph";
}

TEST_F(DataMusicTest, APieceGrownPastTheLimitIsNotRead) {
    std::string path = scratch.dir.File("music.mp3");
    ASSERT_TRUE(WriteSparse(path, Piece(), kMaxMusicFileBytes + 1));
    uint64_t before = BytesReadSoFar();
    EXPECT_EQ(Render(path), VFW_E_CANNOT_RENDER);
    EXPECT_LT(BytesReadSoFar() - before, 65536u);
}

// Within the limit a piece followed by empty space renders, and its length
// is not found by reading to the end: with the tag that states it, or
// without (mpg123 then reckons it from the first frame and the file's size).
TEST_F(DataMusicTest, APieceFollowedByEmptySpaceRendersWithoutReadingItAll) {
    Bytes tagged = Piece();
    // The frames after the tag: the next frame header like the first one.
    Bytes untagged;
    for (size_t i = 4; i + 1 < tagged.size(); ++i) {
        if (tagged[i] == tagged[0] && tagged[i + 1] == tagged[1]) {
            untagged.assign(tagged.begin() + long(i), tagged.end());
            break;
        }
    }
    ASSERT_FALSE(untagged.empty());
    for (const Bytes* piece : {&tagged, &untagged}) {
        std::string path = scratch.dir.File("music.mp3");
        ASSERT_TRUE(WriteSparse(path, *piece, kMaxMusicFileBytes));
        uint64_t before = BytesReadSoFar();
        EXPECT_EQ(Render(path), S_OK);
        EXPECT_LT(BytesReadSoFar() - before, 8u << 20);
    }
}

std::string KindName(const ::testing::TestParamInfo<KindCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Kinds, DataFileKindTest, ::testing::ValuesIn(kKinds),
                         KindName);
INSTANTIATE_TEST_SUITE_P(Kinds, DataPictureKindTest,
                         ::testing::ValuesIn(kKinds), KindName);
INSTANTIATE_TEST_SUITE_P(Kinds, DataMusicKindTest, ::testing::ValuesIn(kKinds),
                         KindName);

} // namespace
