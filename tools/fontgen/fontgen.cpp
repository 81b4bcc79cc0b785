// fontgen: renders an outline font with FreeType into the six bitmap text fonts of the display
// (ids 8, 9, 10, 12, 16 and 20) and writes them as C++ byte arrays to one include file.
//
//   corvex-fontgen FONT_FILE OUTPUT_FILE [--report]
//
// The output depends only on the font file and the FreeType version, never on the time or the
// output path, so running it twice gives byte-identical files.
//
// Block layout (little-endian): u16 0, u16 firstCode, u16 lastCode, u8 0, u8 glyphHeight, then one
// 4-byte entry per code (offset bits 16-23, width, offset bits 0-7, offset bits 8-15; offsets from
// the block start), then the glyph bitmaps: glyphHeight rows of ceil(width/8) bytes, MSB leftmost.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "font_builder.h"
#include "storage/storage.h"

namespace {

using namespace fontgen;

// ---------------------------------------------------------------------------------------------
// Encoding and output.

std::vector<uint8_t> encodeBlock(const FontParams& params, const std::vector<Cell>& cells)
{
    std::vector<uint8_t> block(8 + 4 * cells.size(), 0);
    block[2] = static_cast<uint8_t>(params.firstCode & 0xFF);
    block[3] = static_cast<uint8_t>(params.firstCode >> 8);
    block[4] = static_cast<uint8_t>(params.lastCode & 0xFF);
    block[5] = static_cast<uint8_t>(params.lastCode >> 8);
    block[7] = static_cast<uint8_t>(params.rows);
    for (size_t i = 0; i < cells.size(); ++i) {
        const Cell& c = cells[i];
        const size_t offset = block.size();
        if (offset > 0xFFFFFF || c.width > 255) Renderer::fail("font block too large");
        uint8_t* e = &block[8 + 4 * i];
        e[0] = static_cast<uint8_t>(offset >> 16);
        e[1] = static_cast<uint8_t>(c.width);
        e[2] = static_cast<uint8_t>(offset & 0xFF);
        e[3] = static_cast<uint8_t>((offset >> 8) & 0xFF);
        const int rowBytes = (c.width + 7) / 8;
        for (int y = 0; y < params.rows; ++y)
            for (int b = 0; b < rowBytes; ++b) {
                uint8_t byte = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    const int x = 8 * b + bit;
                    if (x < c.width && c.px[static_cast<size_t>(y) * c.width + x]) byte |= 0x80 >> bit;
                }
                block.push_back(byte);
            }
    }
    return block;
}

std::string nameOf(int code)
{
    if (code >= 33 && code <= 126 && code != '\\') return std::string("'") + char(code) + "'";
    if (code == '\\') return "backslash";
    if (code == 32) return "space";
    if (code == 127) return "DEL (box)";
    const CodeInfo info = codeInfo(code);
    if (info.kind == Kind::Box) return "line drawing";
    if (info.kind == Kind::Outline) return "U+" + Renderer::hex(info.unicode);
    return "blank";
}

void writeBytes(std::ostream& out, const uint8_t* p, size_t n)
{
    static const char* digits = "0123456789ABCDEF";
    for (size_t i = 0; i < n; i += 16) {
        out << "   ";
        for (size_t k = i; k < std::min(n, i + 16); ++k)
            out << " 0x" << digits[p[k] >> 4] << digits[p[k] & 15] << ',';
        out << '\n';
    }
}

void writeBlock(std::ostream& out, const FontParams& params, const std::vector<Cell>& cells,
                const std::vector<uint8_t>& block)
{
    out << "\n// Font " << params.id << ": " << params.rows << " rows, codes " << params.firstCode << ".."
        << params.lastCode << ", " << block.size() << " bytes.\n";
    out << "const uint8_t fontBlock" << params.id << "[] = {\n";
    out << "    // header: zero, firstCode, lastCode, unused, glyphHeight\n";
    writeBytes(out, block.data(), 8);
    out << "    // glyph entries: offset bits 16-23, width, offset bits 0-7, offset bits 8-15\n";
    writeBytes(out, block.data() + 8, 4 * cells.size());
    size_t offset = 8 + 4 * cells.size();
    for (size_t i = 0; i < cells.size(); ++i) {
        const int code = params.firstCode + static_cast<int>(i);
        const size_t size = static_cast<size_t>((cells[i].width + 7) / 8) * params.rows;
        out << "    // " << code << " " << nameOf(code) << ", width " << cells[i].width << "\n";
        writeBytes(out, block.data() + offset, size);
        offset += size;
    }
    out << "};\n";
}

std::string sfntName(FT_Face face, FT_UShort nameId)
{
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName n;
        if (FT_Get_Sfnt_Name(face, i, &n) || n.name_id != nameId) continue;
        std::string s;
        if (n.platform_id == TT_PLATFORM_MACINTOSH) {
            s.assign(reinterpret_cast<const char*>(n.string), n.string_len);
        } else if (n.platform_id == TT_PLATFORM_MICROSOFT) {
            for (FT_UInt k = 0; k + 1 < n.string_len; k += 2)
                if (!n.string[k] && n.string[k + 1] >= 32 && n.string[k + 1] < 127)
                    s += static_cast<char>(n.string[k + 1]);
        }
        if (!s.empty()) return s;
    }
    return "unknown";
}

std::string baseName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "--report") != 0)) {
        std::cerr << "usage: corvex-fontgen FONT_FILE OUTPUT_FILE [--report]\n";
        return 2;
    }
    const std::string fontPath = argv[1];
    std::ostream* report = argc == 4 ? &std::cerr : nullptr;
    Renderer renderer(fontPath.c_str());

    std::ostringstream out;
    out << "// Bitmap fonts of the display text (ids 8, 9, 10, 12, 16, 20). Generated; do not edit.\n"
        << "// Command (from the repository root): build/tools/fontgen/corvex-fontgen " << fontPath
        << " data/fonts/fonts.inc\n"
        << "// Source font: " << baseName(fontPath) << " (" << sfntName(renderer.face(), TT_NAME_ID_FULL_NAME)
        << ", " << sfntName(renderer.face(), TT_NAME_ID_VERSION_STRING)
        << "), Debian package fonts-dejavu-core.\n"
        << "// Licence: DejaVu fonts licence, free (Bitstream Vera fonts licence; DejaVu changes are in\n"
        << "// the public domain), see /usr/share/doc/fonts-dejavu-core/copyright.\n"
        << "// Rendered with FreeType (light hinting, stems evened to whole pixels, 50% threshold), each\n"
        << "// glyph scaled horizontally to its fixed width.\n"
        << "// Block: u16 0, u16 firstCode, u16 lastCode, u8 0, u8 glyphHeight, 4-byte entries (offset\n"
        << "// bits 16-23, width, offset bits 0-7, offset bits 8-15), then rows of ceil(width/8) bytes,\n"
        << "// most significant bit leftmost. Codes 128..255 follow Windows-1252.\n";
    for (const FontParams& params : kFonts) {
        FontBuilder builder(renderer, params, report);
        const std::vector<Cell> cells = builder.build();
        writeBlock(out, params, cells, encodeBlock(params, cells));
    }

    const std::string text = out.str();
    if (!replaceFile(argv[2], nullptr, text.data(), text.size())) {
        std::cerr << "fontgen: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
