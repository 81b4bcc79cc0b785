// fontsheet: draws every glyph of the six display fonts from data/fonts/fonts.inc, plus sample
// lines of device text, white on black, into a PNG at 1:1 and into a second PNG enlarged 3x.
//
//   corvex-fontsheet SHEET.png SHEET_3X.png
//
// In the glyph grid each glyph's cell (width x rows) is shaded so widths and rows can be checked.

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "storage/storage.h"

namespace {
#include "fonts/fonts.inc"

struct Font {
    int id;
    const uint8_t* block;
};
const Font kFonts[] = {{8, fontBlock8},   {9, fontBlock9},   {10, fontBlock10},
                       {12, fontBlock12}, {16, fontBlock16}, {20, fontBlock20}};

struct Rgb {
    uint8_t r, g, b;
};
const Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kCell{38, 44, 72}, kLabel{150, 200, 255},
    kRule{90, 90, 90};

class Image {
public:
    Image(int w, int h) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, kBlack) {}
    int width() const { return w_; }
    int height() const { return h_; }
    void set(int x, int y, Rgb c)
    {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[static_cast<size_t>(y) * w_ + x] = c;
    }
    Rgb get(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
    void fill(int x, int y, int w, int h, Rgb c)
    {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) set(x + i, y + j, c);
    }
    bool writePng(const char* path, int scale) const
    {
        const std::pair<const Image*, int> picture{this, scale};
        return replaceFile(path, nullptr, [](std::FILE* f, const void* context) {
            const auto& [image, scale] = *static_cast<const std::pair<const Image*, int>*>(context);
            return image->writePngTo(f, scale);
        }, &picture);
    }
    bool writePngTo(std::FILE* f, int scale) const
    {
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_write_struct(&png, &info);
            return false;
        }
        png_init_io(png, f);
        png_set_IHDR(png, info, w_ * scale, h_ * scale, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_compression_level(png, 9);
        png_write_info(png, info);
        std::vector<png_byte> row(static_cast<size_t>(w_) * scale * 3);
        for (int y = 0; y < h_ * scale; ++y) {
            for (int x = 0; x < w_ * scale; ++x) {
                const Rgb c = get(x / scale, y / scale);
                row[3 * x] = c.r;
                row[3 * x + 1] = c.g;
                row[3 * x + 2] = c.b;
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        return std::ferror(f) == 0;
    }

private:
    int w_, h_;
    std::vector<Rgb> px_;
};

unsigned read16(const uint8_t* p) { return p[0] | (p[1] << 8); }
int firstCode(const uint8_t* b) { return static_cast<int>(read16(b + 2)); }
int lastCode(const uint8_t* b) { return static_cast<int>(read16(b + 4)); }
int rows(const uint8_t* b) { return b[7]; }

// Width of a code, or -1 when the font does not have it.
int widthOf(const uint8_t* b, int code)
{
    if (code < firstCode(b) || code > lastCode(b)) return -1;
    return b[8 + 4 * (code - firstCode(b)) + 1];
}

// Draws one glyph with its top left at (x, y); shades its cell first when cell is set.
int drawGlyph(Image& img, const uint8_t* b, int code, int x, int y, const Rgb* cell, Rgb ink)
{
    const int w = widthOf(b, code);
    if (w < 0) return 0;
    const uint8_t* e = b + 8 + 4 * (code - firstCode(b));
    const uint8_t* bits = b + ((e[0] << 16) | e[2] | (e[3] << 8));
    if (cell) img.fill(x, y, w, rows(b), *cell);
    const int rowBytes = (w + 7) / 8;
    for (int j = 0; j < rows(b); ++j)
        for (int i = 0; i < w; ++i)
            if (bits[j * rowBytes + i / 8] & (0x80 >> (i % 8))) img.set(x + i, y + j, ink);
    return w + 1;
}

int drawText(Image& img, const uint8_t* b, const std::string& text, int x, int y, Rgb ink)
{
    for (unsigned char c : text) x += drawGlyph(img, b, c, x, y, nullptr, ink);
    return x;
}

const int kPerRow = 16;
const int kMargin = 8;
const int kLabelWidth = 34;

int maxWidth(const uint8_t* b)
{
    int m = 0;
    for (int c = firstCode(b); c <= lastCode(b); ++c) m = std::max(m, widthOf(b, c));
    return m;
}

int gridHeight(const uint8_t* b)
{
    const int lines = (lastCode(b) - firstCode(b) + kPerRow) / kPerRow;
    return 18 + lines * (rows(b) + 3);
}

// Sample lines of device text; the last two only for the fonts with codes 0-255.
const char* const kSamples[] = {
    "MAINTENANCE TIMER HAS EXPIRED",
    "EGT CHT FUEL FLOW 0123456789 -+.,:/%",
    "Quick brown fox jumps over the lazy dog?",
    "EXIT BACK 2450 RPM 14.2V 88% OIL 45 PSI",
    ("EXIT BACK 2450 RPM 14.2V 176\xB0" "C OIL 82\xB0" "C"),
    ("\xC4\xD6\xDC \xE4\xF6\xFC\xDF \xE9\xE8\xEA \xC9 \x80 12\xB1" "3 \x01\x05\x02 \x0F \x10\x11\x12\x13 \x14\x15\x16\x17 \x1A"),
};

// The samples a font can show: lines with codes above 127 only where the font has them.
std::vector<std::string> samplesFor(const uint8_t* b)
{
    std::vector<std::string> lines;
    for (size_t i = 0; i < std::size(kSamples); ++i) {
        const bool wide = i >= 4;
        if (i == 3 && lastCode(b) > 127) continue;  // the fonts with a degree sign use line 4
        if (wide && lastCode(b) <= 127) continue;
        lines.push_back(kSamples[i]);
    }
    return lines;
}

int advance(const uint8_t* b, const std::string& text)
{
    int x = 0;
    for (unsigned char c : text) x += widthOf(b, c) >= 0 ? widthOf(b, c) + 1 : 0;
    return x;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvex-fontsheet SHEET.png SHEET_3X.png\n");
        return 2;
    }
    const uint8_t* label = fontBlock8;
    int width = 0, height = kMargin;
    for (const Font& f : kFonts) {
        width = std::max(width, kMargin + kLabelWidth + kPerRow * (maxWidth(f.block) + 3) + kMargin);
        height += gridHeight(f.block) + 6;
    }
    height += 18;
    for (const Font& f : kFonts) {
        for (const std::string& line : samplesFor(f.block))
            width = std::max(width, kMargin + kLabelWidth + advance(f.block, line) + kMargin);
        height += (rows(f.block) + 2) * static_cast<int>(samplesFor(f.block).size()) + 6;
    }
    height += kMargin;

    Image img(width, height);
    int y = kMargin;
    for (const Font& f : kFonts) {
        const uint8_t* b = f.block;
        const int cellW = maxWidth(b) + 3;
        drawText(img, label, "Font " + std::to_string(f.id) + ": " + std::to_string(rows(b)) +
                                 " rows, codes " + std::to_string(firstCode(b)) + "-" +
                                 std::to_string(lastCode(b)),
                 kMargin, y, kLabel);
        y += 18;
        for (int c = firstCode(b); c <= lastCode(b); ++c) {
            const int k = c - firstCode(b);
            const int gx = kMargin + kLabelWidth + (k % kPerRow) * cellW;
            const int gy = y + (k / kPerRow) * (rows(b) + 3);
            if (k % kPerRow == 0) drawText(img, label, std::to_string(c), kMargin, gy, kLabel);
            drawGlyph(img, b, c, gx, gy, &kCell, kWhite);
        }
        y += gridHeight(b) - 18 + 6;
        img.fill(kMargin, y - 4, width - 2 * kMargin, 1, kRule);
    }
    drawText(img, label, "Sample text", kMargin, y, kLabel);
    y += 18;
    for (const Font& f : kFonts) {
        drawText(img, label, std::to_string(f.id), kMargin, y, kLabel);
        for (const std::string& line : samplesFor(f.block)) {
            drawText(img, f.block, line, kMargin + kLabelWidth, y, kWhite);
            y += rows(f.block) + 2;
        }
        y += 6;
    }
    if (!img.writePng(argv[1], 1) || !img.writePng(argv[2], 3)) {
        std::fprintf(stderr, "fontsheet: cannot write the PNG files\n");
        return 1;
    }
    return 0;
}
