// Inputs that are not regular files are refused at once, by the one check every reader uses.
#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/line_reader.h"
#include "test_support.h"

namespace velarix {

namespace {

// A FIFO held open at both ends by the test, so that a reader that opened it without the
// check would not block in open() but come back "open" (and the test fail, not hang).
class HeldFifo {
public:
    explicit HeldFifo(const std::string& path) : path_(path) {
        if (::mkfifo(path.c_str(), 0600) == 0) fd_ = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
    }
    ~HeldFifo() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace

TEST(RegularFile, OpensRegularFilesAndLinksToThemRefusesEverythingElse) {
    TempDir dir;
    const std::string plain = dir.write("plain.txt", "a line\nand another\n");
    const std::string empty = dir.write("empty.txt", "");
    ASSERT_EQ(::symlink(plain.c_str(), (dir.path() + "link.txt").c_str()), 0);
    ASSERT_EQ(::symlink((dir.path() + "sub").c_str(), (dir.path() + "dirlink").c_str()), 0);
    ::mkdir((dir.path() + "sub").c_str(), 0700);
    HeldFifo fifo(dir.path() + "pipe.20o");
    ASSERT_TRUE(fifo.ok());
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.path() + "sock";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    const struct {
        std::string path;
        InputFileStatus status;
        std::string content;
    } cases[] = {
        {plain, InputFileStatus::kOpened, "a line\nand another\n"},
        {dir.path() + "link.txt", InputFileStatus::kOpened, "a line\nand another\n"},
        {empty, InputFileStatus::kOpened, ""},
        {dir.path() + "sub", InputFileStatus::kNotRegularFile, ""},
        {dir.path() + "dirlink", InputFileStatus::kNotRegularFile, ""},
        {dir.path() + "pipe.20o", InputFileStatus::kNotRegularFile, ""},
        {socketPath, InputFileStatus::kNotRegularFile, ""},  // open() itself fails on a socket
        {"/dev/null", InputFileStatus::kNotRegularFile, ""},
        {dir.path() + "missing", InputFileStatus::kCannotOpen, ""},
    };
    for (const auto& c : cases) {
        int fd = -1;
        EXPECT_EQ(openRegularFile(c.path, fd), c.status) << c.path;
        EXPECT_EQ(fd >= 0, c.status == InputFileStatus::kOpened) << c.path;
        if (fd >= 0) {
            EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0) << "left non-blocking: " << c.path;
            EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0) << c.path;
            ::close(fd);
        }
        std::string text = "stale";
        EXPECT_EQ(readRegularFile(c.path, text), c.status) << c.path;
        EXPECT_EQ(text, c.content) << c.path;

        // The line reader takes the same decision and tells it.
        const LineReader reader(c.path);
        EXPECT_EQ(reader.openStatus(), c.status) << c.path;
        EXPECT_EQ(reader.isOpen(), c.status == InputFileStatus::kOpened) << c.path;
    }
    ::close(sock);

    EXPECT_EQ(inputFileError("DCB", "/d/P1C12001.DCB", InputFileStatus::kNotRegularFile),
              "\r\nError! DCB file /d/P1C12001.DCB: not a regular file");
    EXPECT_EQ(inputFileError("SP3", "x.sp3", InputFileStatus::kCannotOpen), "\r\nError! SP3 file x.sp3: cannot open");
    EXPECT_EQ(inputFileError("SP3", "x.sp3", InputFileStatus::kOpened), "");
}

}  // namespace velarix
