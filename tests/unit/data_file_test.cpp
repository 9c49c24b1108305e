// The data-file opener: only a regular file, or a link to one, of at most
// the size asked for; refused at once whatever else the name holds.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <utility>

#include "kernel/data_file.h"
#include "temp_dir.h"

namespace {

TEST(OpenDataFileTest, OnlyARegularFileWithinItsSizeOpens) {
    TempDir dir;
    std::string file = dir.WriteBytes("ten.bin", "0123456789");
    std::string link = dir.File("link"), fifo = dir.File("fifo"),
                device = dir.File("device"), loop = dir.File("loop");
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", device.c_str()), 0);
    ASSERT_EQ(symlink(loop.c_str(), loop.c_str()), 0);
    struct Case {
        std::string path;
        uint64_t limit;
        int error;
    } cases[] = {{file, 10, 0},          {file, 9, EFBIG},
                 {link, 10, 0},          {dir.path + "/missing", 10, ENOENT},
                 {dir.path, 10, EISDIR}, {fifo, 10, ENODEV},
                 {device, 10, ENODEV},   {loop, 10, ELOOP}};
    for (const Case& c : cases) {
        auto opening = std::async(std::launch::async, [&] {
            uint64_t size = 0;
            int fd = OpenDataFile(c.path.c_str(), c.limit, &size);
            int error = fd < 0 ? errno : 0;
            if (fd >= 0) close(fd);
            return std::make_pair(error, size);
        });
        if (opening.wait_for(std::chrono::seconds(2)) ==
            std::future_status::timeout) {
            ADD_FAILURE() << c.path << ": the open waited";
            close(open(c.path.c_str(), O_WRONLY | O_NONBLOCK)); // a writer
        }
        std::pair<int, uint64_t> opened = opening.get();
        EXPECT_EQ(opened.first, c.error)
            << c.path << ": " << strerror(opened.first);
        EXPECT_EQ(opened.second, c.error ? 0u : 10u) << c.path;
    }
}

} // namespace
