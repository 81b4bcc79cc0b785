// libFuzzer target for corvex-settings: the input is a settings file and a list of field edits
// (the first byte picks what stands at the file's path, the edits run to the first 0 byte, one
// NAME=VALUE a line, the rest is the file). The file is dumped, compared with itself, edited and
// compared with the edit; nothing may change the instrument's own settings, a refused edit leaves
// the file as it was, an accepted one leaves a whole record that a recall keeps as it is.
#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "scenario/settings_tool.h"
#include "settings/settings.h"

namespace fs = std::filesystem;

namespace {

// Runs the tool; the instrument's settings are the same afterwards.
int tool(const std::vector<std::string>& args, std::string& out)
{
    static Settings before;
    before = settings;
    std::ostringstream o, e;
    const int status = settingsToolMain(args, o, e);
    require(std::memcmp(&before, &settings, sizeof settings) == 0);
    require(status == 0 || status == 1 || status == 2);
    out = o.str();
    return status;
}

size_t lineCount(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const fs::path folder = scratchPath("corvex-fuzz-settings-tool");
    static const bool once = (loadDefaultSettings(), true);
    (void)once;
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t zero = text.find('\0');
    std::vector<std::string> edits;
    std::istringstream lines(text.substr(0, zero));
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) edits.push_back(line);
    const std::string file = zero == std::string::npos ? std::string() : text.substr(zero + 1);

    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    const fs::path a = folder / "A.EMS", b = folder / "B.EMS";
    const int what = data[0] % 4;  // 0, 1: a plain file; 2: a folder; 3: a pipe
    std::string out, again;
    if (what >= 2) {
        if (what == 2) fs::create_directory(a);
        else require(mkfifo(a.c_str(), 0600) == 0);
        require(tool({"dump", a}, out) == 2 && out.empty());
        require(tool({"diff", a, a}, out) == 2 && out.empty());
        edits.insert(edits.begin(), "set");
        edits.insert(edits.begin() + 1, a);
        require(tool(edits, out) == 2);
        require(what == 2 ? fs::is_directory(a) : fs::is_fifo(a));
        return 0;
    }
    writeScratch(a, file);
    fs::copy_file(a, b);

    require(tool({"dump", a}, out) == 0);
    const size_t fields = lineCount(out);
    require(fields > 0);
    require(tool({"diff", a, a}, again) == 0 && again.empty());

    std::vector<std::string> args = {"set", b};
    args.insert(args.end(), edits.begin(), edits.end());
    const int status = tool(args, out);
    if (status != 0) {
        require(status == 2 && bytesOf(b) == file);
        return 0;
    }
    require(fs::file_size(b) == sizeof(Settings));
    require(tool({"dump", b}, out) == 0);
    require(lineCount(out) == fields && out.find("# recall repairs") == std::string::npos);
    const int differ = tool({"diff", a, b}, out);
    require(differ == (out.empty() ? 0 : 1));
    return 0;
}
