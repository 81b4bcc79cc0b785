// corvex-fontgen's glyph drawing: FreeType outlines rendered at a fixed width and stem weight
// (Renderer), and a whole font built from them (FontBuilder).
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

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

#include "font_set.h"

namespace fontgen {

// ---------------------------------------------------------------------------------------------
// Rendering.
//
// Glyphs are loaded with light hinting, which snaps heights (baseline, x-height, cap height) and
// horizontal bars to whole pixels but leaves the horizontal direction unhinted. That lets a glyph
// be scaled horizontally to its fixed width without the hinter changing its shape, and lets the
// vertical stems be emboldened by an exact fraction of a pixel so that every stem of the font
// comes out the same whole number of pixels. The glyph is then shifted by the fraction of a pixel
// that leaves the fewest part-covered pixels and thresholded at 50% coverage.

// A rendered glyph cut to its ink: w x h pixels, left = x of the first column from the pen
// position, top = rows of the first row above the baseline.
struct Ink {
    int w = 0, h = 0, left = 0, top = 0;
    int advance = 0;  // advance in whole pixels
    std::vector<uint8_t> px;
    bool at(int x, int y) const { return px[static_cast<size_t>(y) * w + x] != 0; }
    void eraseRow(int y)
    {
        px.erase(px.begin() + static_cast<ptrdiff_t>(y) * w, px.begin() + static_cast<ptrdiff_t>(y + 1) * w);
        --h;
    }
};

class Renderer {
public:
    explicit Renderer(const char* path)
    {
        if (FT_Init_FreeType(&library_)) fail("cannot start FreeType");
        if (FT_New_Face(library_, path, 0, &face_)) fail(std::string("cannot open font ") + path);
    }
    ~Renderer()
    {
        if (face_) FT_Done_Face(face_);
        if (library_) FT_Done_FreeType(library_);
    }
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    FT_Face face() const { return face_; }

    // Width of a glyph's outline in ems (unscaled, unhinted).
    double outlineWidthEm(uint32_t unicode) const
    {
        if (FT_Load_Char(face_, unicode, FT_LOAD_NO_SCALE)) fail("cannot load U+" + hex(unicode));
        FT_BBox box;
        FT_Outline_Get_CBox(&face_->glyph->outline, &box);
        return double(box.xMax - box.xMin) / face_->units_per_EM;
    }

    // Renders a glyph (by code point, or the font's missing-glyph box when unicode is 0) at an
    // em of xPx by yPx pixels, its vertical stems made `bolder` pixels wider (narrower when
    // negative). Of the eight horizontal phases the one with the fewest part-covered pixels wins.
    // A glyph that is symmetric left to right is centred on a pixel edge or a pixel centre and
    // each pixel given the mean coverage of itself and its mirror image, so it stays symmetric.
    Ink render(uint32_t unicode, double xPx, double yPx, double bolder) const
    {
        const FT_UInt index = glyphIndex(unicode);
        const bool symmetric = isSymmetric(index);
        if (FT_Set_Char_Size(face_, std::lround(xPx * 64), std::lround(yPx * 64), 72, 72))
            fail("cannot set the size");
        Ink best;
        long bestFuzz = -1;
        for (int phase = 0; phase < 64; phase += symmetric ? 32 : 8) {
            if (FT_Load_Glyph(face_, index, FT_LOAD_TARGET_LIGHT)) fail("cannot load U+" + hex(unicode));
            const FT_GlyphSlot slot = face_->glyph;
            if (bolder != 0) FT_Outline_EmboldenXY(&slot->outline, std::lround(64 * bolder), 0);
            FT_BBox box;
            FT_Outline_Get_CBox(&slot->outline, &box);
            const long centre = (box.xMin + box.xMax) >> 1;  // 1/64 px, rounded down
            // Shift by the phase, or for a symmetric glyph so its centre lands on the phase (a
            // pixel edge or a pixel centre).
            const long shift = symmetric ? ((phase - centre) % 64 + 64) % 64 : phase;
            FT_Outline_Translate(&slot->outline, shift, 0);
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL)) fail("cannot render U+" + hex(unicode));
            // Twice the mirror axis in bitmap columns: column x pairs with axis2 - 1 - x.
            const long axis2 = symmetric ? (centre + shift) / 32 - 2L * slot->bitmap_left : -1;
            long fuzz = 0;
            Ink ink = threshold(slot, axis2, fuzz);
            if (bestFuzz < 0 || fuzz < bestFuzz) {
                bestFuzz = fuzz;
                best = trim(ink);
            }
        }
        return best;
    }

    [[noreturn]] static void fail(const std::string& message)
    {
        std::cerr << "fontgen: " << message << "\n";
        std::exit(1);
    }

    static std::string hex(uint32_t u)
    {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(u));
        return buf;
    }

private:
    FT_UInt glyphIndex(uint32_t unicode) const
    {
        const FT_UInt index = unicode ? FT_Get_Char_Index(face_, unicode) : 0;
        if (unicode && !index) fail("the font has no glyph for U+" + hex(unicode));
        return index;
    }

    // The rendered coverage cut at 50%, averaged with the mirror image about axis2 / 2 when
    // axis2 is not negative; adds up how far the coverage is from all-or-nothing in fuzz.
    static Ink threshold(const FT_GlyphSlot slot, long axis2, long& fuzz)
    {
        const FT_Bitmap& bm = slot->bitmap;
        Ink ink;
        ink.w = static_cast<int>(bm.width);
        ink.h = static_cast<int>(bm.rows);
        ink.left = slot->bitmap_left;
        ink.top = slot->bitmap_top;
        ink.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        ink.px.assign(static_cast<size_t>(ink.w) * ink.h, 0);
        auto coverage = [&](long x, int y) {
            return x < 0 || x >= ink.w ? 0 : bm.buffer[static_cast<ptrdiff_t>(y) * bm.pitch + x];
        };
        for (int y = 0; y < ink.h; ++y)
            for (int x = 0; x < ink.w; ++x) {
                const int v = axis2 < 0 ? coverage(x, y) : (coverage(x, y) + coverage(axis2 - 1 - x, y) + 1) / 2;
                fuzz += std::min(v, 255 - v);
                ink.px[static_cast<size_t>(y) * ink.w + x] = v >= 128;
            }
        // A pixel without any neighbour is a stray dot where an edge just reached half a pixel.
        std::vector<uint8_t> kept = ink.px;
        for (int y = 0; y < ink.h; ++y)
            for (int x = 0; x < ink.w; ++x) {
                if (!ink.at(x, y)) continue;
                bool alone = true;
                for (int j = std::max(0, y - 1); j <= std::min(ink.h - 1, y + 1); ++j)
                    for (int i = std::max(0, x - 1); i <= std::min(ink.w - 1, x + 1); ++i)
                        if ((i != x || j != y) && ink.at(i, j)) alone = false;
                if (alone) kept[static_cast<size_t>(y) * ink.w + x] = 0;
            }
        ink.px = std::move(kept);
        return ink;
    }

    // Pixels that differ from their mirror image.
    static int asymmetry(const Ink& ink)
    {
        int n = 0;
        for (int y = 0; y < ink.h; ++y)
            for (int x = 0; x < ink.w / 2; ++x) n += ink.at(x, y) != ink.at(ink.w - 1 - x, y);
        return n;
    }

    // Whether a glyph's outline is (nearly) the same mirrored, judged from a large rendering.
    // Changes the size: call before setting it.
    bool isSymmetric(FT_UInt index) const
    {
        const auto known = symmetric_.find(index);
        if (known != symmetric_.end()) return known->second;
        if (FT_Set_Pixel_Sizes(face_, 0, 200)) fail("cannot set the size");
        if (FT_Load_Glyph(face_, index, FT_LOAD_NO_HINTING | FT_LOAD_RENDER)) fail("cannot load a glyph");
        long fuzz = 0;
        const Ink big = trim(threshold(face_->glyph, -1, fuzz));
        int ink = 0;
        for (uint8_t p : big.px) ink += p;
        const bool result = ink > 0 && asymmetry(big) <= ink / 25;  // n and u are 6% off
        symmetric_[index] = result;
        return result;
    }

    // Cuts empty rows and columns off all four sides.
    static Ink trim(const Ink& in)
    {
        int x0 = in.w, x1 = -1, y0 = in.h, y1 = -1;
        for (int y = 0; y < in.h; ++y)
            for (int x = 0; x < in.w; ++x)
                if (in.at(x, y)) {
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x);
                    y0 = std::min(y0, y);
                    y1 = std::max(y1, y);
                }
        Ink out;
        out.advance = in.advance;
        out.left = in.left;
        if (x1 < 0) return out;
        out.w = x1 - x0 + 1;
        out.h = y1 - y0 + 1;
        out.left = in.left + x0;
        out.top = in.top - y0;
        out.px.resize(static_cast<size_t>(out.w) * out.h);
        for (int y = 0; y < out.h; ++y)
            for (int x = 0; x < out.w; ++x) out.px[static_cast<size_t>(y) * out.w + x] = in.at(x0 + x, y0 + y);
        return out;
    }

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    mutable std::map<FT_UInt, bool> symmetric_;
};

// A finished glyph: width x rows pixels.
struct Cell {
    int width = 0;
    std::vector<uint8_t> px;  // rows * width
};

// A horizontal scale (relative to the font's) and the emboldening that keeps the stem weight.
struct Fit {
    double scale = 1.0;
    double bolder = 0;
};

class FontBuilder {
public:
    FontBuilder(const Renderer& r, const FontParams& params, std::ostream* report)
        : r_(r), params_(params), report_(report), xPx_(params.emPx), yPx_(params.emPx),
          stemPx_(r.outlineWidthEm('l') * xPx_)
    {
        // How much tighter the fixed widths are than the outline font's advances (letters and
        // digits), to size the codes above 127 alike.
        double fixed = 0, natural = 0;
        for (int c = '0'; c <= 'z'; ++c)
            if (std::isalnum(c)) {
                fixed += asciiWidth(c) + 1;
                natural += render(static_cast<uint32_t>(c), fitFor(1.0)).advance;
            }
        tightness_ = fixed / natural;
        // One scale for all digits so they look alike.
        for (int c = '0'; c <= '9'; ++c)
            digitScale_ = std::min(digitScale_, fitWidth(static_cast<uint32_t>(c), asciiWidth(c), true).scale);
    }

    std::vector<Cell> build()
    {
        std::vector<Cell> cells;
        for (int code = params_.firstCode; code <= params_.lastCode; ++code) cells.push_back(glyph(code));
        if (report_) {
            const Ink h = render('H', fitFor(1.0)), x = render('x', fitFor(1.0));
            *report_ << "font " << params_.id << ": outline stem " << stemPx_ << " px, drawn " << params_.stem
                     << " px; cap height " << h.h << ", x-height " << x.h << "; digits at "
                     << std::lround(100 * digitScale_) << "%; ink from " << inkTop_ << " rows above to "
                     << inkBottom_ << " below the baseline (room " << params_.baseline << " / "
                     << params_.rows - params_.baseline << ")\n";
        }
        return cells;
    }

private:
    int asciiWidth(int code) const { return params_.asciiWidths[static_cast<size_t>(code - 32)]; }

    // Letters and digits keep their stem weight at any horizontal scale; other signs only get
    // the font's weight change and thin out when squeezed (a squeezed # or % would clog up).
    Fit fitFor(double scale, bool letter = true) const
    {
        return {scale, params_.stem - stemPx_ * (letter ? scale : 1.0)};
    }

    // Accents are drawn a little heavier than the outline, but not as heavy as the stems, which
    // would clog them up.
    Fit accentFit(double scale) const { return {scale, 0.3}; }

    // An accent as ink, squeezed to the cell if need be. The diaeresis is made of two dots like
    // the dot on the i, a pixel less apart than a dot is wide (closer if the cell is narrow).
    Ink accentInk(uint32_t accent, int cellWidth) const
    {
        if (accent != 0x00A8) {
            Ink ink = render(accent, accentFit(1.0));
            for (double s = 0.99; ink.w > cellWidth; s *= 0.99) ink = render(accent, accentFit(s));
            return ink;
        }
        const Ink i = render('i', fitFor(1.0));
        int dotRows = 0;
        while (dotRows < i.h && std::any_of(i.px.begin() + dotRows * i.w, i.px.begin() + (dotRows + 1) * i.w,
                                            [](uint8_t p) { return p != 0; }))
            ++dotRows;
        Ink dot;
        dot.h = dotRows;
        dot.w = i.w;
        dot.px.assign(i.px.begin(), i.px.begin() + dotRows * i.w);
        const int gap = std::clamp(cellWidth - 2 * dot.w, 1, std::max(1, dot.w - 1));
        Ink ink;
        ink.w = 2 * dot.w + gap;
        ink.h = dot.h;
        ink.px.assign(static_cast<size_t>(ink.w) * ink.h, 0);
        for (int y = 0; y < dot.h; ++y)
            for (int x = 0; x < dot.w; ++x)
                if (dot.at(x, y)) {
                    ink.px[static_cast<size_t>(y) * ink.w + x] = 1;
                    ink.px[static_cast<size_t>(y) * ink.w + x + dot.w + gap] = 1;
                }
        return ink;
    }

    Ink render(uint32_t unicode, const Fit& f, double yScale = 1.0) const
    {
        return r_.render(unicode, xPx_ * f.scale, yPx_ * yScale, f.bolder);
    }

    // The widest horizontal scale at which the glyph's ink fits the width less the font's inner
    // margin (or the whole width for a glyph narrower than that anyway, such as I or a full
    // stop). Letters and digits may be stretched up to the font's limit to fill their width;
    // other signs keep their proportions.
    Fit fitWidth(uint32_t unicode, int width, bool letter) const
    {
        const int natural = render(unicode, fitFor(1.0, letter)).w;
        const int target = std::max(width - params_.margin, std::min(width, natural));
        for (double s = letter ? params_.maxStretch : 1.0; s > 0.4; s *= 0.99)
            if (render(unicode, fitFor(s, letter)).w <= target) return fitFor(s, letter);
        Renderer::fail("cannot fit U+" + Renderer::hex(unicode) + " into " + std::to_string(target) + " px");
    }

    // The width a code gets: fixed for 0..127 and the degree sign, else derived.
    int widthOf(int code, const CodeInfo& info) const
    {
        if (code < 32) return params_.controlWidth;
        if (code < 128) return asciiWidth(code);
        if (code == 176) return params_.degreeWidth;
        if (const char like = widthLike(code)) return asciiWidth(like);
        switch (info.kind) {
        case Kind::Blank: return asciiWidth(' ');
        case Kind::Accented:  // as wide as the base letter, or the accent if that is wider
            return std::max(asciiWidth(info.base), accentInk(info.accent, asciiWidth(info.base)).w);
        default: {
            // The outline's advance, as much tighter as the fixed widths are, less the blank
            // column the text drawing adds.
            const Ink ink = render(info.unicode, fitFor(1.0, isLetter(code)));
            return std::max(ink.w, static_cast<int>(std::lround(ink.advance * tightness_)) - 1);
        }
        }
    }

    Cell glyph(int code)
    {
        const CodeInfo info = codeInfo(code);
        Cell cell = blank(widthOf(code, info));
        switch (info.kind) {
        case Kind::Blank: break;
        case Kind::Box: drawBox(cell, info.arms); break;
        case Kind::Outline: place(cell, code, info.unicode); break;
        case Kind::NotDef: place(cell, code, 0); break;
        case Kind::Accented: compose(cell, code, info); break;
        }
        return cell;
    }

    Cell blank(int width) const
    {
        Cell cell;
        cell.width = width;
        cell.px.assign(static_cast<size_t>(width) * params_.rows, 0);
        return cell;
    }

    // Renders a code point into the cell, scaled horizontally to fill it, with the spare columns
    // shared out like the outline's own side bearings.
    void place(Cell& cell, int code, uint32_t unicode)
    {
        const bool digit = code >= '0' && code <= '9';
        const Fit fit = digit ? fitFor(digitScale_) : fitWidth(unicode, cell.width, isLetter(code));
        if (report_ && std::fabs(fit.scale - 1) > 0.001)
            *report_ << "  font " << params_.id << " code " << code << ": horizontal scale "
                     << std::lround(100 * fit.scale) << "%\n";
        const Ink ink = fitRows(render(unicode, fit), code, unicode, fit);
        const Ink plain = render(unicode, {fit.scale, 0});
        const int spare = cell.width - ink.w;
        const int lsb = std::max(0, plain.left), rsb = std::max(0, plain.advance - plain.left - plain.w);
        int x0 = lsb + rsb > 0 ? static_cast<int>(std::lround(double(spare) * lsb / (lsb + rsb))) : spare / 2;
        x0 = std::clamp(x0, 0, std::max(0, spare));
        stamp(cell, ink, x0, params_.baseline - ink.top);
    }

    // An accented letter: the base letter's own glyph with the accent centred over it, one
    // blank row above (a cedilla: right under it).
    void compose(Cell& cell, int code, const CodeInfo& info)
    {
        Cell base = blank(asciiWidth(info.base));
        place(base, info.base, info.unicode);
        const int dx = (cell.width - base.width) / 2;
        int top = params_.rows, left = cell.width, right = -1;
        for (int y = 0; y < params_.rows; ++y)
            for (int x = 0; x < base.width; ++x)
                if (base.px[static_cast<size_t>(y) * base.width + x]) {
                    set(cell, dx + x, y);
                    top = std::min(top, y);
                    left = std::min(left, dx + x);
                    right = std::max(right, dx + x);
                }
        Ink accent = accentInk(info.accent, cell.width);
        const int x0 = (left + right + 1 - accent.w) / 2;
        if (info.accent == 0x00B8) {  // cedilla
            stamp(cell, accent, x0, params_.baseline);
            return;
        }
        // While the accent would leave the top, drop its rows most like their neighbours; a
        // one-row accent that still does not fit closes the blank row.
        int y0 = top - 1 - accent.h;
        while (y0 < 0 && accent.h > 1) {
            int best = 0, bestDiff = accent.w + 1;
            for (int j = 0; j + 1 < accent.h; ++j) {
                int diff = 0;
                for (int i = 0; i < accent.w; ++i) diff += accent.at(i, j) != accent.at(i, j + 1);
                if (diff < bestDiff) best = j, bestDiff = diff;
            }
            accent.eraseRow(best);
            ++y0;
        }
        if (y0 < 0) y0 = 0;
        if (report_ && y0 + accent.h >= top)
            *report_ << "  font " << params_.id << " code " << code << ": accent touches the letter\n";
        stamp(cell, accent, x0, y0);
    }

    void stamp(Cell& cell, const Ink& ink, int x0, int y0) const
    {
        for (int j = 0; j < ink.h; ++j)
            for (int i = 0; i < ink.w; ++i)
                if (ink.at(i, j)) set(cell, x0 + i, y0 + j);
    }

    // Renders a glyph shorter if it would leave the rows.
    Ink fitRows(Ink ink, int code, uint32_t unicode, const Fit& fit) const
    {
        inkTop_ = std::max(inkTop_, ink.top);
        inkBottom_ = std::max(inkBottom_, ink.h - ink.top);
        double shrink = 1.0;
        while (ink.top > params_.baseline || ink.h - ink.top > params_.rows - params_.baseline) {
            shrink *= 0.98;
            ink = render(unicode, fit, shrink);
        }
        if (report_ && shrink != 1.0)
            *report_ << "  font " << params_.id << " code " << code << ": height " << std::lround(100 * shrink) << "%\n";
        return ink;
    }

    void set(Cell& cell, int x, int y) const
    {
        if (x < 0 || x >= cell.width || y < 0 || y >= params_.rows) return;
        cell.px[static_cast<size_t>(y) * cell.width + x] = 1;
    }

    // Line-drawing pieces as heavy as the font's stems and bars, meeting at the cell centre.
    void drawBox(Cell& cell, unsigned arms) const
    {
        const int tv = params_.stem, th = std::max(1, render('-', fitFor(1.0)).h);
        const int cx = (cell.width - tv) / 2, cy = (params_.rows - th) / 2;
        auto fill = [&](int x0, int y0, int x1, int y1) {
            for (int yy = y0; yy < y1; ++yy)
                for (int xx = x0; xx < x1; ++xx) set(cell, xx, yy);
        };
        if (arms & ArmLeft) fill(0, cy, cx + tv, cy + th);
        if (arms & ArmRight) fill(cx, cy, cell.width, cy + th);
        if (arms & ArmUp) fill(cx, 0, cx + tv, cy + th);
        if (arms & ArmDown) fill(cx, cy, cx + tv, params_.rows);
    }

    const Renderer& r_;
    const FontParams& params_;
    std::ostream* report_;
    const double xPx_, yPx_, stemPx_;
    double tightness_ = 1, digitScale_ = 10;
    mutable int inkTop_ = 0, inkBottom_ = 0;  // the most any glyph reaches above and below the baseline
};

}  // namespace fontgen
