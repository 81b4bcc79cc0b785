// libFuzzer target for the memory file on disk as the hosts open it: the input's bytes stand at the
// file's path as a plain file, through a symbolic link, beside earlier kept files, or the path is a
// pipe or a folder. Whatever is there and cannot be loaded must survive byte for byte under the
// name it is kept as (or stay where it was when it cannot be moved); a loaded file saves back the
// same bytes. The first byte: even makes the closing CRC-32 good (as in the memory target), and
// (byte >> 1) % 6 picks what is there.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "time/memory.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> bytesIn(const fs::path& path)
{
    const std::string bytes = bytesOf(path);
    return {bytes.begin(), bytes.end()};
}

void write(const fs::path& path, const std::vector<uint8_t>& bytes) { writeScratch(path, bytes.data(), bytes.size()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fs::path folder = scratchPath("corvex-fuzz-memory-file");
    if (size == 0) return 0;
    std::vector<uint8_t> input(data + 1, data + size);
    if ((data[0] & 1) == 0 && input.size() >= 8) {
        const uint32_t crc = memoryCrc32(input.data(), input.size() - 4);
        for (int i = 0; i < 4; ++i) input[input.size() - 4 + i] = static_cast<uint8_t>(crc >> (8 * i));
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    const fs::path path = folder / "memory.bin", target = folder / "elsewhere.bin";
    const std::string stamp = "20260101-000000";
    const fs::path taken1 = path.string() + ".bad-" + stamp, taken2 = taken1.string() + "-2";
    const int what = (data[0] >> 1) % 6;
    switch (what) {
    case 0: write(path, input); break;
    case 1:  // two earlier files kept under the first names
        write(path, input);
        write(taken1, {1});
        write(taken2, {2});
        break;
    case 2:
        write(target, input);
        fs::create_symlink(target, path);
        break;
    case 3: fs::create_symlink(folder / "missing.bin", path); break;
    case 4: require(mkfifo(path.c_str(), 0600) == 0); break;
    default: fs::create_directory(path); break;
    }

    clearMemory();
    const MemoryFileOpening opening = openMemoryFile(path.c_str(), stamp.c_str());
    if (what == 1) require(bytesIn(taken1) == std::vector<uint8_t>{1} && bytesIn(taken2) == std::vector<uint8_t>{2});
    if (opening.loaded) {
        require(what <= 2 && opening.writable && opening.problem.empty() && opening.keptAs.empty());
        std::string reason;
        require(saveMemoryFile(path.c_str(), reason));
        require(bytesIn(path) == input);
        return 0;
    }
    if (what == 3 && opening.problem.empty()) return 0;  // a link to nothing: a first start, nothing to keep
    require(!opening.problem.empty() && !opening.message.empty());  // everything else is there
    const fs::path kept = opening.writable ? fs::path(opening.keptAs) : path;
    require(!kept.empty());
    if (opening.writable) require(!fs::exists(fs::symlink_status(path)));
    const fs::file_status status = fs::symlink_status(kept);
    if (what <= 1) require(fs::is_regular_file(status) && bytesIn(kept) == input);
    if (what == 2 || what == 3) require(fs::is_symlink(status));
    if (what == 2) require(bytesIn(target) == input);
    if (what == 4) require(fs::is_fifo(status));
    if (what == 5) require(fs::is_directory(status));
    return 0;
}
