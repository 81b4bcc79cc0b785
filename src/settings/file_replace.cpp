#include "settings/file_replace.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Syncs the folder that holds path, so that the rename is on the medium too. A file system that
// cannot sync folders (EINVAL) has nothing more to do.
bool syncFolderOf(const char* path)
{
    char folder[1100];
    const char* slash = std::strrchr(path, '/');
    if (!slash) {
        std::strcpy(folder, ".");
    } else {
        const size_t length = slash == path ? 1 : static_cast<size_t>(slash - path);
        if (length >= sizeof folder) return false;
        std::memcpy(folder, path, length);
        folder[length] = '\0';
    }
    const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

}  // namespace

std::FILE* openPlainFile(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0) error = errno;
    else if (!S_ISREG(info.st_mode)) error = S_ISDIR(info.st_mode) ? EISDIR : ENODEV;
    std::FILE* file = error == 0 ? ::fdopen(fd, "rb") : nullptr;
    if (!file) {
        if (error == 0) error = errno;
        ::close(fd);
        errno = error;
    }
    return file;
}

bool replaceFile(const char* path, const char* temporary, FileBodyWriter write, const void* context)
{
    std::FILE* file = std::fopen(temporary, "wb");
    if (!file) return false;
    bool ok = write(file, context);
    int error = ok ? 0 : errno;
    if (std::fflush(file) != 0 && ok) ok = false, error = errno;
    if (ok && ::fsync(fileno(file)) != 0) ok = false, error = errno;
    if (std::fclose(file) != 0 && ok) ok = false, error = errno;
    if (ok && std::rename(temporary, path) != 0) ok = false, error = errno;
    if (!ok) {
        std::remove(temporary);
        errno = error;
        return false;
    }
    return syncFolderOf(path);
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
