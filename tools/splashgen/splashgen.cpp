// Draws the sample SD card's splash picture (data/splash/splash_source.png, 480 x 272 RGB): the
// CORVEX wordmark over a large engine-instrument scale on a dark blue ground. corvex-mif turns it
// into SDCARD/SPLASH.MIF.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "images/png_io.h"

namespace {

constexpr int kWidth = 480, kHeight = 272;
// The instrument prints the registration, serial number and version over the bottom rows.
constexpr int kTextRows = 35;
constexpr int kSamples = 4;  // per axis, for the shapes' edges
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

// The ground's colour (palette navy), its share of the pixels in the top row and the row where it
// has thinned out to nothing.
constexpr Rgb kNavy{0, 0, 128};
constexpr double kGroundTop = 0.6;
constexpr int kGroundFade = 180;

class Canvas {
public:
    Canvas() : pixels_(kWidth * kHeight, Rgb{0, 0, 0}) {}

    Rgb& at(int x, int y) { return pixels_[static_cast<size_t>(y) * kWidth + x]; }

    void blend(int x, int y, Rgb colour, double alpha)
    {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight || alpha <= 0) return;
        Rgb& p = at(x, y);
        p.r += (colour.r - p.r) * alpha;
        p.g += (colour.g - p.g) * alpha;
        p.b += (colour.b - p.b) * alpha;
    }

    // Fills the area where inside(x, y) holds, within the box, with edge coverage from sub-samples.
    void fill(double x0, double y0, double x1, double y1, Rgb colour, const std::function<bool(double, double)>& inside)
    {
        for (int y = std::max(0, static_cast<int>(y0) - 1); y <= std::min(kHeight - 1, static_cast<int>(y1) + 1); ++y)
            for (int x = std::max(0, static_cast<int>(x0) - 1); x <= std::min(kWidth - 1, static_cast<int>(x1) + 1); ++x) {
                int hits = 0;
                for (int j = 0; j < kSamples; ++j)
                    for (int i = 0; i < kSamples; ++i)
                        hits += inside(x + (i + 0.5) / kSamples, y + (j + 0.5) / kSamples);
                blend(x, y, colour, static_cast<double>(hits) / (kSamples * kSamples));
            }
    }

    std::vector<uint8_t> bytes() const
    {
        std::vector<uint8_t> out;
        out.reserve(pixels_.size() * 3);
        for (const Rgb& p : pixels_)
            for (double c : {p.r, p.g, p.b}) out.push_back(static_cast<uint8_t>(std::lround(std::clamp(c, 0.0, 255.0))));
        return out;
    }

private:
    std::vector<Rgb> pixels_;
};

// Angles in degrees, clockwise on screen from the positive x axis (270 is straight up).
void arcBand(Canvas& canvas, double cx, double cy, double r0, double r1, double a0, double a1, Rgb colour)
{
    canvas.fill(cx - r1, cy - r1, cx + r1, cy + r1, colour, [=](double x, double y) {
        const double r = std::hypot(x - cx, y - cy);
        double a = std::atan2(y - cy, x - cx) * 180 / kPi;
        if (a < 0) a += 360;
        return r >= r0 && r <= r1 && a >= a0 && a <= a1;
    });
}

void thickLine(Canvas& canvas, double x0, double y0, double x1, double y1, double width, Rgb colour)
{
    const double dx = x1 - x0, dy = y1 - y0, length2 = dx * dx + dy * dy, half = width / 2;
    canvas.fill(std::min(x0, x1) - half, std::min(y0, y1) - half, std::max(x0, x1) + half, std::max(y0, y1) + half,
                colour, [=](double x, double y) {
                    const double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / length2, 0.0, 1.0);
                    return std::hypot(x - x0 - t * dx, y - y0 - t * dy) <= half;
                });
}

class Font {
public:
    Font(FT_Library library, const std::string& path, int pixelSize)
    {
        if (FT_New_Face(library, path.c_str(), 0, &face_) != 0) {
            face_ = nullptr;
            return;
        }
        FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelSize));
    }
    ~Font()
    {
        if (face_) FT_Done_Face(face_);
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    bool ok() const { return face_ != nullptr; }

    // Advance of the text in pixels with extra spacing between letters.
    double width(const std::string& text, double spacing) const
    {
        double w = 0;
        for (char c : text) {
            if (FT_Load_Char(face_, static_cast<unsigned char>(c), FT_LOAD_DEFAULT) != 0) continue;
            w += face_->glyph->advance.x / 64.0 + spacing;
        }
        return w - spacing;
    }

    // Draws text with its baseline at y, starting at x; colourOf picks each letter's colour.
    void draw(Canvas& canvas, double x, int baseline, const std::string& text, double spacing,
              const std::function<Rgb(size_t)>& colourOf) const
    {
        for (size_t i = 0; i < text.size(); ++i) {
            if (FT_Load_Char(face_, static_cast<unsigned char>(text[i]), FT_LOAD_RENDER) != 0) continue;
            const FT_GlyphSlot g = face_->glyph;
            const int left = static_cast<int>(std::lround(x)) + g->bitmap_left, top = baseline - g->bitmap_top;
            for (unsigned row = 0; row < g->bitmap.rows; ++row)
                for (unsigned col = 0; col < g->bitmap.width; ++col)
                    canvas.blend(left + static_cast<int>(col), top + static_cast<int>(row), colourOf(i),
                                 g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0);
            x += g->advance.x / 64.0 + spacing;
        }
    }

private:
    FT_Face face_ = nullptr;
};

void drawPicture(Canvas& canvas, const Font& logo, const Font& caption)
{
    // Ground: navy at the top thinning out to black in an ordered 8 x 8 pattern, so that it keeps
    // to two palette colours and needs no dithering on conversion.
    static const int bayer[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                                    {12, 44, 4, 36, 14, 46, 6, 38},  {60, 28, 52, 20, 62, 30, 54, 22},
                                    {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
                                    {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21}};
    for (int y = 0; y < kHeight; ++y) {
        const double density = kGroundTop * std::clamp(1.0 - static_cast<double>(y) / kGroundFade, 0.0, 1.0);
        for (int x = 0; x < kWidth; ++x)
            canvas.at(x, y) = (bayer[y % 8][x % 8] + 0.5) / 64 < density ? kNavy : Rgb{0, 0, 0};
    }

    // A wide instrument scale arching over the wordmark like a horizon, its limit marks at the right.
    const double cx = 240, cy = 392, r = 360;
    const Rgb steel{64, 96, 160}, green{0, 190, 0}, yellow{255, 255, 0}, red{255, 0, 0};
    arcBand(canvas, cx, cy, r - 1.2, r + 1.2, 220, 320, steel);
    for (int a = 222; a <= 318; a += 3) {
        const bool major = (a - 222) % 12 == 0;
        const double outer = r + (major ? 10 : 5), ca = std::cos(a * kPi / 180), sa = std::sin(a * kPi / 180);
        thickLine(canvas, cx + r * ca, cy + r * sa, cx + outer * ca, cy + outer * sa, major ? 2.2 : 1.4, steel);
    }
    arcBand(canvas, cx, cy, r - 8, r - 3, 291, 303, green);
    arcBand(canvas, cx, cy, r - 8, r - 3, 303.6, 308, yellow);
    arcBand(canvas, cx, cy, r - 8, r - 3, 308.6, 318, red);

    // The wordmark, its first letter red, and the product line under a thin rule.
    const std::string name = "CORVEX", line = "ENGINE MONITORING SYSTEM";
    const double nameSpacing = 6, lineSpacing = 3;
    const double nameWidth = logo.width(name, nameSpacing);
    logo.draw(canvas, (kWidth - nameWidth) / 2, 150, name, nameSpacing,
              [&](size_t i) { return i == 0 ? red : Rgb{255, 255, 255}; });
    const double lineWidth = caption.width(line, lineSpacing);
    canvas.fill((kWidth - lineWidth) / 2, 166, (kWidth + lineWidth) / 2, 168, Rgb{192, 192, 192},
                [&](double x, double y) { return std::abs(x - kWidth / 2.0) <= lineWidth / 2 && y >= 166 && y < 168; });
    caption.draw(canvas, (kWidth - lineWidth) / 2, 192, line, lineSpacing, [](size_t) { return Rgb{192, 192, 192}; });

    // The instrument's own text goes here: keep it plain black.
    for (int y = kHeight - kTextRows; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) canvas.at(x, y) = Rgb{0, 0, 0};
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: corvex-splashgen OUTPUT.png LOGO_FONT CAPTION_FONT\n");
        return 2;
    }
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "corvex-splashgen: cannot start FreeType\n");
        return 1;
    }
    int status = 0;
    {
        const Font logo(library, argv[2], 84), caption(library, argv[3], 15);
        if (!logo.ok() || !caption.ok()) {
            std::fprintf(stderr, "corvex-splashgen: cannot load %s\n", logo.ok() ? argv[3] : argv[2]);
            status = 1;
        } else {
            Canvas canvas;
            drawPicture(canvas, logo, caption);
            if (!writeRgbPng(argv[1], canvas.bytes(), kWidth, kHeight)) {
                std::fprintf(stderr, "corvex-splashgen: cannot write %s\n", argv[1]);
                status = 1;
            }
        }
    }
    FT_Done_FreeType(library);
    return status;
}
