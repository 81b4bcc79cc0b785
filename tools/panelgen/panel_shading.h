// What corvex-panelgen draws with: small maths, fixed-seed noise textures, the light model and
// the printed legends (FreeType masks). The scene in panelgen.cpp shapes the panel from these.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace panelgen {

constexpr int kW = 550;
constexpr int kH = 477;
constexpr int kSuper = 4;  // sub-samples per axis
constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------------------------
// Small maths helpers
// ---------------------------------------------------------------------------------------------

struct V3 {
  double x, y, z;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 normalize(V3 a) {
  const double l = std::sqrt(dot(a, a));
  return l > 0 ? a * (1.0 / l) : V3{0, 0, 1};
}

struct Rgb {
  double r, g, b;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, double s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb mix(Rgb a, Rgb b, double t) { return a * (1.0 - t) + b * t; }

inline double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline double smoothstep(double e0, double e1, double x) {
  const double t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3.0 - 2.0 * t);
}
inline double mixd(double a, double b, double t) { return a + (b - a) * t; }

// sRGB (display) value 0..255 to linear light.
inline double lin(double srgb255) {
  const double c = srgb255 / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
inline Rgb linRgb(double r, double g, double b) { return {lin(r), lin(g), lin(b)}; }

// Signed distance to an axis-aligned rounded rectangle (negative inside).
inline double sdRoundRect(double px, double py, double cx, double cy, double hx, double hy, double r) {
  const double qx = std::fabs(px - cx) - (hx - r);
  const double qy = std::fabs(py - cy) - (hy - r);
  const double ox = std::max(qx, 0.0);
  const double oy = std::max(qy, 0.0);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - r;
}

// Outward unit direction of a rounded rectangle's distance field at (px, py).
inline void roundRectNormal(double px, double py, double cx, double cy, double hx, double hy, double r,
                     double& nx, double& ny) {
  const double e = 0.05;
  const double gx = sdRoundRect(px + e, py, cx, cy, hx, hy, r) - sdRoundRect(px - e, py, cx, cy, hx, hy, r);
  const double gy = sdRoundRect(px, py + e, cx, cy, hx, hy, r) - sdRoundRect(px, py - e, cx, cy, hx, hy, r);
  const double l = std::sqrt(gx * gx + gy * gy);
  if (l > 0) {
    nx = gx / l;
    ny = gy / l;
  } else {
    nx = 0;
    ny = -1;
  }
}

// Normal of a height field given the outward slope (height falling by `slope` per pixel along
// direction (dx, dy)).
inline V3 slopeNormal(double dx, double dy, double slope) { return normalize({dx * slope, dy * slope, 1.0}); }

// ---------------------------------------------------------------------------------------------
// Deterministic noise
// ---------------------------------------------------------------------------------------------

struct Rng {
  uint64_t s;
  uint64_t next() {
    s += 0x9E3779B97F4A7C15ull;
    uint64_t z = s;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double uni() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  double sym() { return uni() * 2.0 - 1.0; }
};

struct Grid {
  int w = 0, h = 0;
  std::vector<double> v;
  Grid(int w_, int h_) : w(w_), h(h_), v(static_cast<size_t>(w_) * h_, 0.0) {}
  double& at(int x, int y) { return v[static_cast<size_t>(y) * w + x]; }
  double get(int x, int y) const {
    x = std::clamp(x, 0, w - 1);
    y = std::clamp(y, 0, h - 1);
    return v[static_cast<size_t>(y) * w + x];
  }
  // Bilinear sample with cell centres at integer + 0.5 (in grid units).
  double sample(double x, double y) const {
    x -= 0.5;
    y -= 0.5;
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const double tx = x - fx, ty = y - fy;
    const double a = mixd(get(ix, iy), get(ix + 1, iy), tx);
    const double b = mixd(get(ix, iy + 1), get(ix + 1, iy + 1), tx);
    return mixd(a, b, ty);
  }
  void normalizeUnit() {  // zero mean, unit peak
    double mean = 0;
    for (double x : v) mean += x;
    mean /= static_cast<double>(v.size());
    double peak = 1e-12;
    for (double& x : v) {
      x -= mean;
      peak = std::max(peak, std::fabs(x));
    }
    for (double& x : v) x /= peak;
  }
};

struct Textures {
  Grid grain{kW, kH};           // per-pixel fine grain of the anodised finish
  Grid brushed{kW, kH};         // horizontal brushing streaks
  Grid mottle{kW / 8 + 2, kH / 8 + 2};  // slow unevenness of the anodising (8 px cells)
  Grid sensor{kW, kH};          // tiny photographic sensor noise
  std::vector<double> spun;     // concentric machining rings of the knob cap (0.1 px steps)
  std::vector<double> ridgeJitter;  // tiny irregularity of each knob flute

  Textures() {
    Rng rng{0x00C0FFEE12345678ull};
    for (double& x : grain.v) x = rng.sym();
    for (double& x : sensor.v) x = rng.sym();
    for (double& x : mottle.v) x = rng.sym();

    // Brushing: white noise smeared along x (three box passes), plus a weaker per-row offset.
    std::vector<double> row(kW + 200);
    std::vector<double> tmp(kW + 200);
    for (int y = 0; y < kH; ++y) {
      for (double& x : row) x = rng.sym();
      for (int pass = 0; pass < 3; ++pass) {
        const int r = 14;
        for (int x = 0; x < static_cast<int>(row.size()); ++x) {
          double s = 0;
          int n = 0;
          for (int k = -r; k <= r; ++k) {
            const int xx = x + k;
            if (xx >= 0 && xx < static_cast<int>(row.size())) {
              s += row[xx];
              ++n;
            }
          }
          tmp[x] = s / n;
        }
        row.swap(tmp);
      }
      const double rowOffset = rng.sym() * 0.35;
      for (int x = 0; x < kW; ++x) brushed.at(x, y) = row[x + 100] * 4.0 + rowOffset;
    }
    brushed.normalizeUnit();
    mottle.normalizeUnit();

    spun.resize(300);
    double acc = 0;
    for (double& x : spun) {
      acc = acc * 0.55 + rng.sym();
      x = acc;
    }
    ridgeJitter.resize(64);
    for (double& x : ridgeJitter) x = rng.sym();
  }
};

inline const Textures* gTex = nullptr;

// ---------------------------------------------------------------------------------------------
// Light model
// ---------------------------------------------------------------------------------------------

const V3 kLight = normalize({-0.50, -0.64, 0.58});  // key light: top-left, in front
const V3 kView = {0, 0, 1};
const V3 kSkyUp = normalize({-0.25, -0.55, 0.80});  // where the soft ambient comes from
const V3 kSoftbox = normalize({-0.30, -0.40, 0.866});  // large diffuser, slightly top-left

struct Material {
  Rgb albedo;
  double spec;      // strength of the tight key-light highlight
  double gloss;     // its exponent
  double sheen;     // strength of the broad glossy lobe
  double sheenPow;  // its exponent
  double env;       // reflection of the (dim) surroundings at grazing angles
  double soft;      // reflection of the large soft light box above the camera
};

// Intensity of the key light at a point of the picture: strongest toward the top-left, with the
// fall-off and lens vignette of a real photograph.
inline double keyIntensity(double x, double y) {
  const double dx = (x + 120.0) / 620.0;
  const double dy = (y + 140.0) / 560.0;
  const double d2 = dx * dx + dy * dy;
  return 0.70 + 0.62 * std::exp(-d2 * 1.3);
}
inline double vignette(double x, double y) {
  const double nx = (x - kW * 0.5) / (kW * 0.5);
  const double ny = (y - kH * 0.5) / (kH * 0.5);
  const double r2 = nx * nx * 0.85 + ny * ny;
  return 1.0 - 0.17 * r2 * r2 - 0.06 * r2;
}

inline Rgb shade(const Material& m, V3 n, double x, double y, double ao, double shadow) {
  const double key = keyIntensity(x, y);
  const double ndl = std::max(0.0, dot(n, kLight));
  const double amb = 0.5 + 0.5 * dot(n, kSkyUp);
  const double diffuse = 0.82 * ndl * key * shadow + 0.32 * amb * ao;
  Rgb c = m.albedo * diffuse;
  // Mirror direction of the camera ray (the camera is about 1.3 picture widths away).
  const V3 view = normalize({kW * 0.5 - x, kH * 0.5 - y, 720.0});
  const V3 r = n * (2.0 * dot(n, view)) - view;
  const double rl = std::max(0.0, dot(r, kLight));
  const double fres = 0.04 + 0.96 * std::pow(1.0 - std::max(0.0, dot(n, view)), 5.0);
  double s = m.spec * std::pow(rl, m.gloss) * key * shadow;
  s += m.sheen * std::pow(rl, m.sheenPow) * (0.6 + 0.4 * shadow) * key;
  // Dim room reflection: brighter when the mirror ray points upward (to a ceiling / window).
  const double up = clamp01(-r.y * 0.8 + 0.2);
  s += m.env * fres * up * ao;
  s += m.soft * smoothstep(0.80, 0.975, dot(r, kSoftbox)) * (0.4 + 0.6 * ao);
  c = c + Rgb{s, s * 0.995, s * 0.985};
  return c;
}

// ---------------------------------------------------------------------------------------------
// Printed legends (alpha masks at picture resolution, rendered with FreeType)
// ---------------------------------------------------------------------------------------------

struct Mask {
  std::vector<double> a = std::vector<double>(static_cast<size_t>(kW) * kH, 0.0);
  double get(int x, int y) const {
    if (x < 0 || y < 0 || x >= kW || y >= kH) return 0;
    return a[static_cast<size_t>(y) * kW + x];
  }
  void put(int x, int y, double v) {
    if (x < 0 || y < 0 || x >= kW || y >= kH) return;
    double& d = a[static_cast<size_t>(y) * kW + x];
    d = std::max(d, v);
  }
};

class Font {
 public:
  explicit Font(const char* path) {
    if (FT_Init_FreeType(&lib_) != 0) fail("cannot initialise FreeType");
    if (FT_New_Face(lib_, path, 0, &face_) != 0) fail(std::string("cannot open font ") + path);
  }
  ~Font() {
    if (face_) FT_Done_Face(face_);
    if (lib_) FT_Done_FreeType(lib_);
  }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // Draws text with its baseline at y; tracking adds extra pixels between letters.
  // Returns the x after the last glyph. With mask == nullptr only measures.
  double draw(Mask* mask, const char* text, double px, double x, int baseline, double tracking) {
    FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(std::lround(px * 64.0)), 72, 72);
    double pen = x;
    for (const char* p = text; *p; ++p) {
      // Sub-pixel pen position: shift the outline by the fractional part before rendering.
      const double whole = std::floor(pen);
      FT_Vector delta{static_cast<FT_Pos>(std::lround((pen - whole) * 64.0)), 0};
      FT_Set_Transform(face_, nullptr, &delta);
      if (FT_Load_Char(face_, static_cast<unsigned char>(*p), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) continue;
      const FT_GlyphSlot g = face_->glyph;
      const int ox = static_cast<int>(whole) + g->bitmap_left;
      const int oy = baseline - g->bitmap_top;
      if (mask) {
        for (unsigned int r = 0; r < g->bitmap.rows; ++r)
          for (unsigned int c = 0; c < g->bitmap.width; ++c) {
            const unsigned char v = g->bitmap.buffer[r * g->bitmap.pitch + c];
            if (v) mask->put(ox + static_cast<int>(c), oy + static_cast<int>(r), v / 255.0);
          }
      }
      pen += g->linearHoriAdvance / 65536.0;
      if (p[1]) pen += tracking;
    }
    FT_Set_Transform(face_, nullptr, nullptr);
    return pen;
  }

 private:
  [[noreturn]] static void fail(const std::string& msg) {
    std::fprintf(stderr, "corvex-panelgen: %s\n", msg.c_str());
    std::exit(1);
  }
  FT_Library lib_ = nullptr;
  FT_Face face_ = nullptr;
};

struct Legends {
  Mask white;   // brand name
  Mask silver;  // small printed words
};
inline const Legends* gLeg = nullptr;

}  // namespace panelgen
