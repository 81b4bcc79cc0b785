// Built-in icon generator: reads the pixel sources in data/icons (one text file per icon, a
// character per palette colour) and writes their MIF blocks as C++ (icons.inc), plus a preview sheet.
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "display/framebuffer.h"
#include "mif_encoder.h"
#include "images/png_io.h"
#include "storage/storage.h"

namespace {

// The icon set in the order of the instrument's icon table; each source is <file>.txt.
const char* const kIconFiles[] = {"exclamation", "question", "rpm",         "fuel",       "manifold",
                                  "sender",      "battery",  "thermometer", "flight_log", "engine",
                                  "gps",         "timer",    "sd_card",     "adc"};

// The command that regenerates the committed file, named in its first line.
const char* const kCommand = "corvex-icongen data/icons data/icons/icons.inc data/icons/icon_sheet.png";

struct IconSource {
    std::string name;  // C++ name, e.g. iconExclamation
    std::string title; // the first comment line
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

struct SourceError {
    std::string message;
};

// Source format, line by line:
//   # comment (the first one is the icon's title)
//   icon NAME WIDTH HEIGHT
//   colour CHAR INDEX        (once per colour used; CHAR is one printable character)
//   pixels                   followed by HEIGHT rows of exactly WIDTH characters
IconSource readSource(const std::string& path)
{
    std::string bytes;
    if (!readPlainFile(path.c_str(), bytes)) throw SourceError{path + ": cannot open"};
    std::istringstream in(bytes);
    IconSource icon;
    std::map<char, int> colours;
    std::string line;
    int lineNo = 0;
    bool inPixels = false;
    auto fail = [&](const std::string& what) { throw SourceError{path + ":" + std::to_string(lineNo) + ": " + what}; };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (inPixels) {
            if (static_cast<int>(icon.pixels.size()) == icon.width * icon.height) {
                if (!line.empty()) fail("more rows than the height");
                continue;
            }
            if (static_cast<int>(line.size()) != icon.width)
                fail("row has " + std::to_string(line.size()) + " characters, want " + std::to_string(icon.width));
            for (char c : line) {
                const auto it = colours.find(c);
                if (it == colours.end()) fail(std::string("character '") + c + "' has no colour");
                icon.pixels.push_back(static_cast<uint8_t>(it->second));
            }
            continue;
        }
        if (line.empty()) continue;
        if (line[0] == '#') {
            const size_t start = line.find_first_not_of("# ");
            if (icon.title.empty() && start != std::string::npos) icon.title = line.substr(start);
            continue;
        }
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "icon") {
            if (!(words >> icon.name >> icon.width >> icon.height) || icon.width < 1 || icon.width > 480 ||
                icon.height < 1 || icon.height > 272)
                fail("want: icon NAME WIDTH HEIGHT");
        } else if (key == "colour") {
            std::string ch;
            int index = -1;
            if (!(words >> ch >> index) || ch.size() != 1 || index < 0 || index > 255)
                fail("want: colour CHAR INDEX (0..255)");
            if (!colours.emplace(ch[0], index).second) fail("colour character given twice");
        } else if (key == "pixels") {
            if (icon.name.empty()) fail("pixels before the icon line");
            inPixels = true;
        } else {
            fail("unknown line: " + line);
        }
    }
    if (!inPixels || static_cast<int>(icon.pixels.size()) != icon.width * icon.height)
        throw SourceError{path + ": fewer rows than the height"};
    return icon;
}

std::string blockText(const IconSource& icon, const std::vector<uint8_t>& block)
{
    std::ostringstream out;
    out << "\n// " << icon.title << " (" << icon.width << " x " << icon.height << ")\n";
    out << "static constexpr uint8_t " << icon.name << "Data[" << block.size() << "] = {";
    for (size_t i = 0; i < block.size(); ++i) {
        out << (i % 16 == 0 ? "\n   " : "");
        char hex[8];
        std::snprintf(hex, sizeof hex, " 0x%02X,", block[i]);
        out << hex;
    }
    out << "\n};\nconst Icon " << icon.name << "{" << icon.name << "Data, sizeof " << icon.name << "Data};\n";
    return out.str();
}

// All icons at 1:1 in a 7 x 2 grid, then the same grid 4 times enlarged; each icon in a dark
// grey frame just outside its own area so that its extent shows on the black.
bool writeSheet(const std::string& path, const std::vector<IconSource>& icons)
{
    constexpr int kMargin = 8, kColumns = 7;
    const int cell1 = 50 + kMargin, cell4 = 4 * 50 + kMargin;
    const int width = kMargin + kColumns * cell4;
    const int top4 = kMargin + 2 * cell1 + kMargin;
    const int height = top4 + 2 * cell4;
    std::vector<uint8_t> sheet(static_cast<size_t>(width) * height, 0);
    auto place = [&](const IconSource& icon, int left, int top, int scale) {
        for (int y = -1; y <= icon.height * scale; ++y)
            for (int x = -1; x <= icon.width * scale; ++x) {
                const bool frame = x < 0 || y < 0 || x == icon.width * scale || y == icon.height * scale;
                const uint8_t c = frame ? 7 : icon.pixels[(y / scale) * icon.width + x / scale];
                sheet[static_cast<size_t>(top + y) * width + left + x] = c;
            }
    };
    for (size_t i = 0; i < icons.size(); ++i) {
        const int column = static_cast<int>(i) % kColumns, row = static_cast<int>(i) / kColumns;
        place(icons[i], kMargin + column * cell1, kMargin + row * cell1, 1);
        place(icons[i], kMargin + column * cell4, top4 + row * cell4, 4);
    }
    return writeIndexedPng(path, sheet.data(), width, height);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: corvex-icongen SOURCE_DIR OUTPUT.inc [SHEET.png]\n");
        return 2;
    }
    const std::string sourceDir = argv[1];
    std::vector<IconSource> icons;
    std::ostringstream text;
    text << "// Generated by `" << kCommand << "`\n"
         << "// from the pixel sources in data/icons: edit those and regenerate, never this file.\n"
         << "// The built-in icons as MIF blocks; included by src/display/icons.cpp.\n";
    try {
        for (const char* file : kIconFiles) {
            icons.push_back(readSource(sourceDir + "/" + file + ".txt"));
            const IconSource& icon = icons.back();
            text << blockText(icon, encodeMif(icon.pixels.data(), icon.width, icon.height));
        }
    } catch (const SourceError& e) {
        std::fprintf(stderr, "corvex-icongen: %s\n", e.message.c_str());
        return 1;
    }
    const std::string written = text.str();
    if (!replaceFile(argv[2], nullptr, written.data(), written.size())) {
        std::fprintf(stderr, "corvex-icongen: cannot write %s\n", argv[2]);
        return 1;
    }
    if (argc == 4 && !writeSheet(argv[3], icons)) {
        std::fprintf(stderr, "corvex-icongen: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
