// Case-insensitive path resolution over POSIX directories, and the checked
// reading and appending of files.
//
// A data file is looked at before a byte of it is read: a path stat()ed as
// anything but a regular file is never opened (opening a device runs its
// driver), and the open itself does not block, so a named pipe that was put
// there in between cannot stall the game in open() where no signal ends it.
// fstat() of the open file then decides, since the path may have changed
// since the stat(). Reading stops one byte past the limit, so a file that
// grows while it is read is refused too.
//
// A new file (a screenshot) is written under a temporary name created
// exclusively, made durable with fsync() (a full disk may only say so
// there), and given its name by a rename that refuses to replace anything,
// so a reader never sees half a file and no link is ever followed.
#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

namespace platform {

namespace {

// Bytes asked of each read() once a file runs past the size fstat() gave.
constexpr std::size_t kGrowthChunk = 64 * 1024;

// An open file descriptor, closed when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

std::string LastSystemError()
{
    return std::system_category().message(errno);
}

bool IsRegularFileDescriptor(int fd, struct stat& info)
{
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Regular files ignore O_NONBLOCK, but a network or user-space file system
// may not; the read below wants every byte it asks for.
bool ClearNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

std::string TooLarge(std::uint64_t size, std::size_t maxBytes)
{
    return std::to_string(size) + " bytes, more than the " + std::to_string(maxBytes) + " a file of its kind may have";
}

// Reads until end of file into bytes, sized first to what fstat() saw.
bool ReadToEnd(int fd, std::size_t expected, std::size_t maxBytes, std::vector<std::uint8_t>& bytes, std::string& why)
{
    bytes.reserve(expected + 1); // the end-of-file probe below must not move the bytes
    bytes.resize(expected);
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > maxBytes) {
                why = "grew past " + std::to_string(maxBytes) + " bytes while it was read";
                return false;
            }
            bytes.resize(std::min(got + kGrowthChunk, maxBytes + 1));
        }
        const ssize_t count = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            why = LastSystemError();
            return false;
        }
        if (count == 0) {
            bytes.resize(got);
            return true;
        }
        got += static_cast<std::size_t>(count);
    }
}

bool ReadRegularFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes, std::string& why)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        why = LastSystemError();
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        why = "not a regular file";
        return false;
    }
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.IsOpen()) {
        why = LastSystemError();
        return false;
    }
    if (!IsRegularFileDescriptor(file.Get(), info)) {
        why = "not a regular file";
        return false;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > maxBytes) {
        why = TooLarge(size, maxBytes);
        return false;
    }
    if (!ClearNonBlocking(file.Get())) {
        why = LastSystemError();
        return false;
    }
    return ReadToEnd(file.Get(), static_cast<std::size_t>(size), maxBytes, bytes, why);
}

std::vector<std::string> SplitComponents(std::string_view path)
{
    std::vector<std::string> parts;
    std::string current;
    for (const char c : path) {
        if (c == '/' || c == '\\') {
            parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    parts.push_back(current);
    return parts;
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The entry of directory whose name equals component ignoring case, or "".
std::string FindEntryIgnoringCase(const std::string& directory, const std::string& component)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.c_str()), ::closedir);
    if (!dir) {
        return {};
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (::strcasecmp(entry->d_name, component.c_str()) == 0) {
            return entry->d_name;
        }
    }
    return {};
}

std::string Join(const std::string& base, const std::string& name)
{
    if (base.empty()) {
        return name;
    }
    if (base == "/") {
        return base + name;
    }
    return base + "/" + name;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return true;
}

NewFileResult FailNewFile(std::string* error, const std::string& what, int savedErrno)
{
    if (error) {
        *error = what + ": " + std::system_category().message(savedErrno);
    }
    return NewFileResult::kFailed;
}

// A name beside path that no one else uses: hidden, and unique to this
// process and call.
std::string TemporaryNameBeside(const std::string& path)
{
    static std::atomic<unsigned> serial{0};
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
}

// Gives temporary the name path unless something is there already.
// Filesystems without the no-replace rename get a hard link instead, which
// refuses an existing name just the same.
int RenameWithoutReplacing(const std::string& temporary, const std::string& path)
{
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    if (::link(temporary.c_str(), path.c_str()) != 0) {
        return errno;
    }
    ::unlink(temporary.c_str());
    return 0;
}

} // namespace

std::string NormalizeDataPath(std::string_view path)
{
    const bool absolute = !path.empty() && (path.front() == '/' || path.front() == '\\');
    std::vector<std::string> kept;
    for (const std::string& part : SplitComponents(path)) {
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == ".." && !kept.empty() && kept.back() != "..") {
            kept.pop_back();
            continue;
        }
        if (part == ".." && absolute) {
            continue; // nothing lies above the root
        }
        kept.push_back(part);
    }
    std::string result = absolute ? "/" : "";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        result += (i == 0 ? "" : "/") + kept[i];
    }
    return result;
}

std::string ResolveDataPath(std::string_view path)
{
    const std::string normalized = NormalizeDataPath(path);
    if (normalized.empty() || Exists(normalized)) {
        return normalized;
    }
    const bool absolute = normalized.front() == '/';
    std::string resolved = absolute ? "/" : "";
    for (const std::string& part : SplitComponents(normalized)) {
        if (part.empty()) {
            continue;
        }
        const std::string exact = Join(resolved, part);
        if (part == ".." || Exists(exact)) {
            resolved = exact;
            continue;
        }
        const std::string match = FindEntryIgnoringCase(resolved.empty() ? "." : resolved, part);
        if (match.empty()) {
            return normalized;
        }
        resolved = Join(resolved, match);
    }
    return resolved;
}

bool ReadDataFile(std::string_view path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes, std::string* error)
{
    bytes.clear();
    const std::string resolved = ResolveDataPath(path);
    // One below the largest size, so the end-of-file probe past the limit
    // cannot wrap around.
    const std::size_t limit = std::min(maxBytes, bytes.max_size() - 1);
    std::string why;
    if (ReadRegularFile(resolved, limit, bytes, why)) {
        return true;
    }
    bytes = {};
    if (error) {
        *error = resolved + ": " + why;
    }
    return false;
}

bool AppendToFile(const std::string& path, std::string_view text)
{
    const FileDescriptor file(
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666));
    struct stat info {};
    if (!file.IsOpen() || !IsRegularFileDescriptor(file.Get(), info)) {
        return false;
    }
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(file.Get(), text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return true;
}

void WriteToStandardError(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

bool PathExists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool MakeFolder(const std::string& path, std::string* error)
{
    if (::mkdir(path.c_str(), 0755) == 0) {
        return true;
    }
    const auto fail = [error](const std::string& why) {
        if (error) {
            *error = why;
        }
        return false;
    };
    if (errno != EEXIST) {
        return fail(LastSystemError());
    }
    // Something is there; the system's own word for a link to nothing
    // ("No such file or directory") would send the player looking for the
    // wrong thing.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int statErrno = errno;
        struct stat link {};
        if (statErrno == ENOENT && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            return fail("it is a link that points nowhere");
        }
        return fail(std::system_category().message(statErrno));
    }
    if (!S_ISDIR(info.st_mode)) {
        return fail("a file is in the way");
    }
    return true;
}

NewFileResult WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes, std::string* error)
{
    const std::string temporary = TemporaryNameBeside(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        return FailNewFile(error, "could not create " + temporary, errno);
    }
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeErrno = errno;
    const bool closed = ::close(fd) == 0;
    const int closeErrno = errno;
    if (!written || !closed) {
        ::unlink(temporary.c_str());
        return FailNewFile(error, "could not write " + temporary, written ? closeErrno : writeErrno);
    }
    const int renameErrno = RenameWithoutReplacing(temporary, path);
    if (renameErrno == 0) {
        return NewFileResult::kWritten;
    }
    ::unlink(temporary.c_str());
    if (renameErrno == EEXIST) {
        return NewFileResult::kNameTaken;
    }
    return FailNewFile(error, "could not name " + path, renameErrno);
}

} // namespace platform
