#include "storage/storage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The error a non-plain file at a path is refused with.
int notPlainError(mode_t mode) { return S_ISDIR(mode) ? EISDIR : ENODEV; }

// Returns false with the saved errno, after undoing what cleanup does.
template <typename Cleanup>
bool failWith(int error, Cleanup cleanup)
{
    cleanup();
    errno = error != 0 ? error : EIO;
    return false;
}

// Syncs the folder that holds path, so that the rename is on the medium too. A file system that
// cannot sync folders (EINVAL) has nothing more to do.
bool syncFolderOf(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    const std::string folder = !slash ? std::string(".") : std::string(path, slash == path ? 1 : slash - path);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

// Clears the name: a file, link, pipe or empty folder standing there is removed.
bool clearName(const char* path)
{
    if (::unlink(path) == 0 || errno == ENOENT) return true;
    if (errno != EISDIR && errno != EPERM) return false;
    return ::rmdir(path) == 0;
}

}  // namespace

std::FILE* openPlainFile(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0) error = errno;
    else if (!S_ISREG(info.st_mode)) error = notPlainError(info.st_mode);
    std::FILE* file = error == 0 ? ::fdopen(fd, "rb") : nullptr;
    if (!file) failWith(error != 0 ? error : errno, [fd] { ::close(fd); });
    return file;
}

bool readPlainFile(const char* path, std::string& bytes, size_t limit)
{
    bytes.clear();
    std::FILE* file = openPlainFile(path);
    if (!file) return false;
    char chunk[65536];
    size_t n = 0;
    while (bytes.size() < limit && (n = std::fread(chunk, 1, std::min(sizeof chunk, limit - bytes.size()), file)) > 0)
        bytes.append(chunk, n);
    const bool ok = std::ferror(file) == 0;
    const int error = errno;
    std::fclose(file);
    return ok || failWith(error, [] {});
}

std::FILE* FileReplacement::begin(const char* path, const char* temporary)
{
    if (file_) (void)finish(false);
    // A folder, device or pipe of the name is no file to replace.
    struct stat old {};
    if (::lstat(path, &old) == 0) {
        if (!S_ISREG(old.st_mode) && !S_ISLNK(old.st_mode)) {
            errno = notPlainError(old.st_mode);
            return nullptr;
        }
    } else if (errno != ENOENT) {
        return nullptr;
    }
    path_ = path;
    temporary_ = temporary ? std::string(temporary) : path_ + ".tmp";
    if (!clearName(temporary_.c_str())) return nullptr;
    // Made new here: never a link's target, never a pipe that would keep the instrument waiting.
    const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    file_ = ::fdopen(fd, "wb");
    if (!file_) failWith(errno, [this, fd] { ::close(fd), ::unlink(temporary_.c_str()); });
    return file_;
}

bool FileReplacement::finish(bool ok)
{
    std::FILE* file = file_;
    file_ = nullptr;
    if (!file) return failWith(EBADF, [] {});
    int error = ok ? 0 : errno;
    const auto check = [&](bool step) {
        if (!step && ok) ok = false, error = errno;
    };
    check(std::fflush(file) == 0);
    // The old file's permission bits carry over.
    struct stat old {};
    if (ok && ::lstat(path_.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        check(::fchmod(fileno(file), old.st_mode & 07777) == 0);
    if (ok) check(::fsync(fileno(file)) == 0);
    check(std::fclose(file) == 0);
    if (ok) check(std::rename(temporary_.c_str(), path_.c_str()) == 0);
    if (!ok) return failWith(error, [this] { ::unlink(temporary_.c_str()); });
    return syncFolderOf(path_.c_str());
}

FileReplacement::~FileReplacement()
{
    if (file_) (void)finish(false);
}

bool replaceFile(const char* path, const char* temporary, FileBodyWriter write, const void* context)
{
    FileReplacement replacement;
    std::FILE* file = replacement.begin(path, temporary);
    return file && replacement.finish(write(file, context));
}

bool replaceFile(const char* path, const char* temporary, const void* data, size_t size)
{
    struct Bytes {
        const void* data;
        size_t size;
    };
    const Bytes bytes{data, size};
    return replaceFile(
        path, temporary,
        [](std::FILE* file, const void* context) {
            const auto& b = *static_cast<const Bytes*>(context);
            return std::fwrite(b.data, 1, b.size, file) == b.size;
        },
        &bytes);
}

bool sizeOfFile(const char* path, unsigned long long& size)
{
    struct stat status {};
    size = 0;
    if (::lstat(path, &status) == 0) {
        size = static_cast<unsigned long long>(status.st_size);
        return true;
    }
    return errno == ENOENT;
}

bool appendWhole(const char* path, const void* data, size_t size)
{
    struct stat info {};
    const bool existed = ::lstat(path, &info) == 0;
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    if (::fstat(fd, &info) != 0) return failWith(errno, [fd] { ::close(fd); });
    if (!S_ISREG(info.st_mode)) return failWith(notPlainError(info.st_mode), [fd] { ::close(fd); });
    std::FILE* file = ::fdopen(fd, "ab");
    if (!file) return failWith(errno, [fd] { ::close(fd); });
    // Unbuffered: nothing of a failed write waits in a buffer to reach the file after the cut.
    std::setvbuf(file, nullptr, _IONBF, 0);
    bool ok = std::fwrite(data, 1, size, file) == size;
    int error = ok ? 0 : errno;
    if (std::fflush(file) != 0 && ok) ok = false, error = errno;
    if (!ok && (existed ? ::ftruncate(fileno(file), info.st_size) : ::unlink(path)) != 0) error = errno;
    if (std::fclose(file) != 0 && ok) ok = false, error = errno;
    return ok || failWith(error, [] {});
}

bool moveAside(const char* path, const std::string& base, std::string& kept)
{
    struct stat info {};
    for (int n = 1; n < 1000; ++n) {
        kept = n == 1 ? base : base + "-" + std::to_string(n);
        if (::lstat(kept.c_str(), &info) == 0) continue;  // an earlier kept file: never written over
        if (errno != ENOENT) return false;
        return std::rename(path, kept.c_str()) == 0;
    }
    errno = EEXIST;
    return false;
}
