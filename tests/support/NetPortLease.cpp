// The lock files of the port blocks, one per block, in one directory of /tmp
// (a fixed path rather than TMPDIR, which two shells may set apart).
#include "NetPortLease.h"

#include "platform/TcpListener.h"
#include "platform/UdpSocket.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace testing {

namespace {

constexpr const char* kLockDirectory = "/tmp/kostrivane-net-ports";

// Every port of the block takes a datagram socket and a listener now.
bool BlockFreeNow(std::uint16_t base)
{
    for (int offset = 0; offset < kNetPortBlock; ++offset) {
        const auto port = static_cast<std::uint16_t>(base + offset);
        platform::UdpSocket udp;
        platform::TcpListener tcp;
        if (udp.BindInRange(port, port) != platform::SocketResult::kOk || udp.BoundPort() != port ||
            tcp.Listen(port, 1) != platform::SocketResult::kOk) {
            return false;
        }
    }
    return true;
}

// The block's lock file, opened read-only (flock needs no more), so any user
// can lock a file another user made. An existing file is opened without
// O_CREAT: in a sticky shared directory the kernel may refuse O_CREAT on a
// file of another user's (fs.protected_regular). A new one is made open to
// everyone whatever the umask, and one of this user's made before that is
// opened up too.
int OpenLockFile(const std::string& path)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno == EEXIST) {
                continue; // another process made it first: open theirs
            }
        }
        if (fd >= 0) {
            (void)::fchmod(fd, 0666); // fails harmlessly on another user's file
        }
        return fd;
    }
    return -1;
}

// The block's lock, taken without waiting: its descriptor, or -1 when
// another process holds it (or its file cannot be opened).
int LockBlock(std::uint16_t base)
{
    const int fd = OpenLockFile(NetPortLockPath(base));
    if (fd < 0) {
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string NetPortLockPath(std::uint16_t base)
{
    return std::string(kLockDirectory) + "/" + std::to_string(base) + ".lock";
}

std::uint16_t LeaseNetPortBase()
{
    // Open to every user of the machine, whose suites share the ports.
    if (::mkdir(kLockDirectory, 0777) == 0) {
        ::chmod(kLockDirectory, 01777);
    }
    // Processes start their search at different blocks, so they seldom try
    // the same lock.
    const auto start = static_cast<int>(::getpid() % kNetPortBlocks);
    for (int i = 0; i < kNetPortBlocks; ++i) {
        const auto base = static_cast<std::uint16_t>(kNetPortOrigin + ((start + i) % kNetPortBlocks) * kNetPortBlock);
        const int fd = LockBlock(base);
        if (fd < 0) {
            continue;
        }
        if (BlockFreeNow(base)) {
            // The descriptor stays open, and the block reserved, until the process ends.
            return base;
        }
        ::close(fd);
    }
    return 0;
}

} // namespace testing
