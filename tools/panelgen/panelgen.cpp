// corvex-panelgen: draws the instrument's front-panel picture used by the window program.
//
// Usage: corvex-panelgen OUTPUT.jpg
//
// Everything is drawn procedurally: every output pixel is the average of 4x4 sub-samples of an
// analytic scene (signed-distance shapes, height-field normals, a simple light model), plus
// fixed-seed noise textures and FreeType-rendered printed legends. The output is a baseline JPEG.
// The result is deterministic: the same binary always writes the same bytes (no clock, no
// threads, integer PRNG with a fixed seed).
//
// Geometry that the window program relies on (picture pixels):
//   display window   left 34, top 65, 480 x 273 (painted black, recessed bevel outside it)
//   soft keys        41 x 41 click areas at x = 24, 104, 184, 264, 344, y = 416
//   rotary knob      49 x 49 area at (464, 400)
//   host controls    plain bezel at (456..523, 448..473) and (344..515, 16..41)

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "storage/storage.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <jpeglib.h>

#include "panel_shading.h"

#ifndef CORVEX_PANEL_FONT
#define CORVEX_PANEL_FONT "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
#endif

namespace {

using namespace panelgen;

constexpr int kJpegQuality = 92;
constexpr const char* kComment =
    "Generated for the Corvex EMS simulator by: "
    "build/tools/panelgen/corvex-panelgen data/panel/front_panel.jpg";



// ---------------------------------------------------------------------------------------------
// Scene geometry
// ---------------------------------------------------------------------------------------------

// Faceplate
constexpr double kPlateRadius = 15.0;
constexpr double kChamfer = 2.4;

// Display window (exact rectangle covered by the live display)
constexpr double kDispL = 34, kDispT = 65, kDispW = 480, kDispH = 273;
constexpr double kDispCx = kDispL + kDispW / 2, kDispCy = kDispT + kDispH / 2;
constexpr double kGasket = 2.2;   // black gasket band outside the display
constexpr double kBevel = 6.0;    // outer edge of the sloped recess wall
constexpr double kRim = 7.6;      // where the rounded rim meets the flat face

// Soft keys
constexpr double kKeyX0 = 44.5, kKeyDX = 80.0, kKeyY = 436.5;
constexpr double kKeyR = 17.8;    // button radius
constexpr double kWellR = 22.6;   // opening of the recessed ring in the bezel
constexpr double kWellWall = 2.6; // width of its sloped wall

// Knob
constexpr double kKnobX = 488.5, kKnobY = 424.5;
constexpr double kKnobR = 23.2;
constexpr int kFlutes = 36;
constexpr double kCapR = 13.6;

// Corner screws
struct Screw {
  double x, y, angle;
};
constexpr Screw kScrews[4] = {{15.5, 15.5, 0.35}, {534.5, 15.5, 1.12}, {15.5, 461.5, 0.78}, {534.5, 461.5, 0.05}};
constexpr double kScrewHole = 7.0;
constexpr double kScrewHead = 5.3;

// Red accent of the legend (a small slanted double bar after the brand name); set in main.
double gAccentX = 0, gAccentTop = 0, gAccentBottom = 0;

const Rgb kPlateAlbedo = linRgb(60, 62, 67);
const Rgb kBackground = linRgb(16, 16, 18);

// Albedo of the anodised faceplate, with texture and printing.
Rgb plateAlbedo(double x, double y, bool printing) {
  const Textures& t = *gTex;
  const int ix = std::clamp(static_cast<int>(x), 0, kW - 1);
  const int iy = std::clamp(static_cast<int>(y), 0, kH - 1);
  const double g = t.grain.get(ix, iy);
  const double b = t.brushed.sample(x, y);
  const double m = t.mottle.sample(x / 8.0 + 1.0, y / 8.0 + 1.0);
  const double f = 1.0 + 0.045 * g + 0.055 * b + 0.045 * m;
  Rgb a = kPlateAlbedo * f;
  if (printing) {
    const double w = gLeg->white.get(ix, iy);
    const double s = gLeg->silver.get(ix, iy);
    if (w > 0) a = mix(a, linRgb(242, 242, 238) * (1.0 + 0.03 * g), w * 0.97);
    if (s > 0) a = mix(a, linRgb(178, 180, 184) * (1.0 + 0.04 * g), s * 0.92);
    // Red accent: two short slanted bars.
    for (int k = 0; k < 2; ++k) {
      const double x0 = gAccentX + k * 5.2;
      const double slant = (gAccentBottom - y) * 0.32;
      const double u = x - x0 - slant;
      if (y > gAccentTop && y < gAccentBottom && u > 0 && u < 3.0) a = linRgb(200, 28, 30) * (1.0 + 0.02 * g);
    }
  }
  return a;
}

Material plateMaterial(Rgb albedo) { return {albedo, 0.10, 18.0, 0.030, 3.0, 0.06, 0.010}; }

// Shadows and occlusion that the raised knob throws on the face.
void knobShadow(double x, double y, double& shadow, double& ao) {
  const double dx = x - kKnobX, dy = y - kKnobY;
  const double d = std::sqrt(dx * dx + dy * dy);
  const double sx = x - (kKnobX + 3.2), sy = y - (kKnobY + 4.2);
  const double ds = std::sqrt(sx * sx + sy * sy);
  shadow *= 1.0 - 0.85 * (1.0 - smoothstep(kKnobR - 3.0, kKnobR + 5.0, ds));
  ao *= 1.0 - 0.55 * (1.0 - smoothstep(kKnobR - 0.5, kKnobR + 9.0, d));
}

// ---------------------------------------------------------------------------------------------
// The scene: colour (linear light) of one sub-sample
// ---------------------------------------------------------------------------------------------

Rgb faceplate(double x, double y);
Rgb displayRecess(double x, double y, double sd);
Rgb softKey(double x, double y, double cx, double cy, double d);
Rgb knob(double x, double y, double d);
Rgb screw(double x, double y, const Screw& s, double d);

Rgb scene(double x, double y) {
  // Outside the faceplate: the dark background the instrument was photographed on.
  const double sdPlate = sdRoundRect(x, y, kW * 0.5, kH * 0.5, kW * 0.5 - 0.5, kH * 0.5 - 0.5, kPlateRadius);
  if (sdPlate > 0) return kBackground;

  // Display recess
  const double sdDisp = sdRoundRect(x, y, kDispCx, kDispCy, kDispW * 0.5, kDispH * 0.5, 0.6);
  if (sdDisp < kRim) return displayRecess(x, y, sdDisp);

  // Soft keys
  if (y > kKeyY - kWellR - 2 && y < kKeyY + kWellR + 2) {
    const int k = std::clamp(static_cast<int>(std::lround((x - kKeyX0) / kKeyDX)), 0, 4);
    const double cx = kKeyX0 + k * kKeyDX;
    const double d = std::hypot(x - cx, y - kKeyY);
    if (d < kWellR + 1.4) return softKey(x, y, cx, kKeyY, d);
  }

  // Knob
  {
    const double d = std::hypot(x - kKnobX, y - kKnobY);
    if (d < kKnobR + 0.5) return knob(x, y, d);
  }

  // Screws
  for (const Screw& s : kScrews) {
    const double d = std::hypot(x - s.x, y - s.y);
    if (d < kScrewHole + 1.2) return screw(x, y, s, d);
  }

  return faceplate(x, y);
}

Rgb faceplate(double x, double y) {
  const double sdPlate = sdRoundRect(x, y, kW * 0.5, kH * 0.5, kW * 0.5 - 0.5, kH * 0.5 - 0.5, kPlateRadius);
  double shadow = 1.0, ao = 1.0;
  knobShadow(x, y, shadow, ao);
  if (sdPlate > -kChamfer) {
    // Machined chamfer along the outer edge: turns away from the viewer, catches the light on
    // the top and left edges; slightly brighter metal where the anodising is thinner.
    double nx, ny;
    roundRectNormal(x, y, kW * 0.5, kH * 0.5, kW * 0.5 - 0.5, kH * 0.5 - 0.5, kPlateRadius, nx, ny);
    const double t = clamp01((sdPlate + kChamfer) / kChamfer);  // 0 inner .. 1 outer
    const double slope = std::tan((12.0 + 50.0 * t) * kPi / 180.0);
    const V3 n = slopeNormal(nx, ny, slope);
    Rgb a = plateAlbedo(x, y, false) * 1.55;
    Material m{a, 0.55, 26.0, 0.10, 4.0, 0.22, 0.0};
    return shade(m, n, x, y, ao * (0.85 + 0.15 * (1 - t)), shadow);
  }
  // Flat anodised face.
  return shade(plateMaterial(plateAlbedo(x, y, true)), {0, 0, 1}, x, y, ao, shadow);
}

Rgb displayRecess(double x, double y, double sd) {
  if (sd < 0) {
    // Glass over the (switched-off) display: black with the faintest reflection.
    const double g = 0.0012 + 0.0025 * clamp01(1.0 - (x - kDispL) / kDispW * 0.6 - (y - kDispT) / kDispH * 0.4);
    return {g, g, g * 1.1};
  }
  double nx, ny;
  roundRectNormal(x, y, kDispCx, kDispCy, kDispW * 0.5, kDispH * 0.5, 0.6, nx, ny);
  if (sd < kGasket) {
    // Black rubber gasket with a hairline glass edge reflection next to the display.
    const double edge = std::exp(-std::pow((sd - 0.45) / 0.35, 2.0));
    // Inner edge facing the light (bottom / right) catches a little more.
    const double facing = clamp01(0.35 + 0.65 * (-(nx * kLight.x + ny * kLight.y)) / 0.8);
    const double v = 0.0035 + 0.010 * edge * facing;
    // Shadow of the upper and left walls on the gasket.
    const double occl = 0.75 + 0.25 * facing;
    return Rgb{v, v, v * 1.08} * occl;
  }
  // Sloped wall and rounded rim: normal points into the opening (-outward) and up.
  double slope;
  double ao;
  if (sd < kBevel) {
    const double t = (sd - kGasket) / (kBevel - kGasket);  // 0 bottom .. 1 top of wall
    slope = std::tan(52.0 * kPi / 180.0);
    ao = 0.45 + 0.55 * t;
  } else {
    const double t = (sd - kBevel) / (kRim - kBevel);  // rim fillet, 0 .. 1
    slope = std::tan(52.0 * (1.0 - t) * (1.0 - t * 0.3) * kPi / 180.0);
    ao = 1.0;
  }
  const V3 n = slopeNormal(-nx, -ny, slope);
  Rgb a = plateAlbedo(x, y, false) * 1.25;
  Material m{a, 0.20, 22.0, 0.07, 4.0, 0.14, 0.0};
  double shadow = 1.0;
  // The wall opposite the light is in its own shadow; the key light is low enough that the
  // deepest part of the upper/left walls never sees it.
  return shade(m, n, x, y, ao, shadow);
}

// Soft key: a dark, slightly domed button in a recessed ring.
Rgb softKey(double x, double y, double cx, double cy, double d) {
  const double dx = d > 1e-9 ? (x - cx) / d : 0.0;
  const double dy = d > 1e-9 ? (y - cy) / d : 0.0;
  if (d >= kWellR) {
    // Rounded rim where the face turns down into the ring.
    const double t = clamp01((d - kWellR) / 1.4);
    const double slope = std::tan(50.0 * (1.0 - t) * kPi / 180.0);
    const V3 n = slopeNormal(-dx, -dy, slope);
    Material m{plateAlbedo(x, y, false) * 1.3, 0.40, 24.0, 0.08, 4.0, 0.16, 0.0};
    return shade(m, n, x, y, 1.0, 1.0);
  }
  if (d >= kWellR - kWellWall) {
    // Sloped wall of the ring.
    const double t = (d - (kWellR - kWellWall)) / kWellWall;
    const V3 n = slopeNormal(-dx, -dy, std::tan(50.0 * kPi / 180.0));
    Material m{plateAlbedo(x, y, false) * 1.2, 0.30, 20.0, 0.06, 4.0, 0.12, 0.0};
    return shade(m, n, x, y, 0.45 + 0.55 * t, 1.0);
  }
  // Soft shadow of the button, cast toward the bottom-right.
  const double sx = x - (cx + 1.6), sy = y - (cy + 2.1);
  const double ds = std::sqrt(sx * sx + sy * sy);
  const double btnShadow = 1.0 - 0.9 * (1.0 - smoothstep(kKeyR - 1.0, kKeyR + 2.6, ds));
  if (d >= kKeyR) {
    // Floor of the ring: black, in the shadow of the button.
    const double t = (d - kKeyR) / (kWellR - kWellWall - kKeyR);
    const double v = 0.0045 * (0.4 + 0.6 * btnShadow) * (0.6 + 0.4 * std::sin(t * kPi));
    // The floor facing the light on the lower right catches a faint reflection.
    const double lit = clamp01(-(dx * kLight.x + dy * kLight.y));
    return Rgb{v, v, v * 1.1} + Rgb{1, 1, 1} * (0.004 * lit * btnShadow);
  }
  // The button itself: a gentle dome with a rounded outer edge.
  const double fillet = 3.6;
  double slope = d / std::sqrt(95.0 * 95.0 - d * d);  // dome of radius 95 px
  if (d > kKeyR - fillet) {
    const double u = std::min((d - (kKeyR - fillet)) / fillet, 0.985);
    slope += u / std::sqrt(1.0 - u * u);
  }
  const V3 n = slopeNormal(dx, dy, slope);
  // Satin plastic with a fine matte texture.
  const int ix = std::clamp(static_cast<int>(x), 0, kW - 1);
  const int iy = std::clamp(static_cast<int>(y), 0, kH - 1);
  const double grain = gTex->grain.get((ix * 7 + 3) % kW, (iy * 5 + 11) % kH);
  const Rgb albedo = linRgb(34, 35, 38) * (1.0 + 0.05 * grain);
  const Material m{albedo, 0.55, 34.0, 0.11, 5.0, 0.30, 0.09};
  // The edge of the button is a little occluded by the ring.
  const double ao = 1.0 - 0.35 * smoothstep(kKeyR - 2.5, kKeyR, d);
  return shade(m, n, x, y, ao, 1.0);
}

// Rotary knob: black anodised fluted grip with a spun-metal centre cap.
Rgb knob(double x, double y, double d) {
  const double dx = d > 1e-9 ? (x - kKnobX) / d : 0.0;
  const double dy = d > 1e-9 ? (y - kKnobY) / d : 0.0;
  const double theta = std::atan2(dy, dx);

  // Flute profile around the circumference.
  const double phi = (theta + kPi) / (2 * kPi) * kFlutes + 0.25;
  const double fl = std::floor(phi);
  const double f = phi - fl;
  const int fluteIndex = static_cast<int>(fl) & 63;
  const double gDepth = 1.05 * (1.0 + 0.08 * gTex->ridgeJitter[static_cast<size_t>(fluteIndex)]);
  const double c = 0.5 - 0.5 * std::cos(2 * kPi * f);  // 0 at ridge, 1 at groove centre
  const double g = c * std::sqrt(c);
  const double dg = 1.5 * std::sqrt(c) * 0.5 * std::sin(2 * kPi * f) * 2 * kPi;  // dg/df
  const double outline = kKnobR - gDepth * g;
  const double dOutline = -gDepth * dg * kFlutes / (2 * kPi);  // d(outline)/d(theta)

  if (d > outline) {
    // Between the flutes the face shows, in the knob's shadow.
    double shadow = 1.0, ao = 1.0;
    knobShadow(x, y, shadow, ao);
    return shade(plateMaterial(plateAlbedo(x, y, false)), {0, 0, 1}, x, y, ao * 0.6, shadow * 0.5);
  }

  const double tx = -dy, ty = dx;  // tangential direction
  if (d >= kCapR) {
    // Grip: flat top ring, then a rounded outer edge that follows the flutes.
    const double fillet = 4.2;
    const double edgeStart = outline - fillet;
    double sr = 0.05;  // slight outward fall of the top ring
    double st = 0.0;
    double ao = 1.0;
    if (d > edgeStart) {
      const double u = std::min((d - edgeStart) / fillet, 0.97);
      const double s = u / std::sqrt(1.0 - u * u);
      sr += s;
      st = -s * dOutline / std::max(d, 1.0);
      ao = 1.0 - 0.45 * u * u;
    }
    // Fine knurl lines on the top ring continue the flutes faintly.
    const double knurl = 0.06 * std::sin(2 * kPi * phi) * smoothstep(kCapR + 1.0, edgeStart, d);
    const V3 n = normalize({dx * sr + tx * (st + knurl), dy * sr + ty * (st + knurl), 1.0});
    const Rgb albedo = linRgb(50, 51, 55) * (1.0 - 0.18 * g);
    const Material m{albedo, 0.60, 28.0, 0.14, 5.0, 0.35, 0.08};
    // Narrow groove around the cap.
    const double groove = smoothstep(kCapR, kCapR + 1.1, d);
    return shade(m, n, x, y, ao * (0.35 + 0.65 * groove), 0.6 + 0.4 * groove);
  }
  if (d > kCapR - 0.9) {
    // The joint between cap and grip: a dark line.
    const double v = 0.004;
    return {v, v, v};
  }
  // Spun-metal cap, very slightly concave, with a small machined chamfer on its edge.
  double sr = -d / 140.0;
  if (d > kCapR - 2.1) sr = std::tan(38.0 * smoothstep(kCapR - 2.1, kCapR - 1.5, d) * kPi / 180.0);
  const V3 n = slopeNormal(dx, dy, sr);
  const double ring = gTex->spun[std::min<size_t>(static_cast<size_t>(d * 10.0), gTex->spun.size() - 1)];
  const Rgb albedo = linRgb(70, 72, 78) * (1.0 + 0.06 * ring);
  Rgb col = shade({albedo, 0.20, 20.0, 0.05, 4.0, 0.12, 0.03}, n, x, y, 1.0, 1.0);
  // Anisotropic highlight of concentric machining: a bright bow-tie toward the light.
  const V3 h = normalize(kLight + kView);
  const double hl = std::sqrt(h.x * h.x + h.y * h.y);
  const double th = (tx * h.x + ty * h.y) / hl;  // cos between tangent and half vector
  const double aniso = std::pow(1.0 - th * th, 10.0);
  // Stronger on the light side than on the far side.
  const double side = 0.55 + 0.45 * clamp01(-(dx * kLight.x + dy * kLight.y) / 0.8 + 0.5);
  const double fade = smoothstep(0.5, 5.0, d);
  const double s = (0.085 + 0.015 * ring) * aniso * side * fade * keyIntensity(x, y);
  col = col + Rgb{s, s, s * 1.02};
  // Centre dimple.
  if (d < 1.6) col = col * (0.55 + 0.45 * d / 1.6);
  return col;
}

// Recessed cross-head mounting screw.
Rgb screw(double x, double y, const Screw& s, double d) {
  const double dx = d > 1e-9 ? (x - s.x) / d : 0.0;
  const double dy = d > 1e-9 ? (y - s.y) / d : 0.0;
  if (d >= kScrewHole) {
    const double t = clamp01((d - kScrewHole) / 1.2);
    const V3 n = slopeNormal(-dx, -dy, std::tan(45.0 * (1.0 - t) * kPi / 180.0));
    return shade({plateAlbedo(x, y, false) * 1.35, 0.45, 24.0, 0.08, 4.0, 0.16, 0.0}, n, x, y, 1.0, 1.0);
  }
  if (d >= kScrewHead) {
    // Countersink wall, darker toward the bottom; the head shades its lower-right side.
    const double t = (d - kScrewHead) / (kScrewHole - kScrewHead);
    const V3 n = slopeNormal(-dx, -dy, std::tan(40.0 * kPi / 180.0));
    const double sx = x - (s.x + 0.9), sy = y - (s.y + 1.2);
    const double shadow = smoothstep(kScrewHead - 0.5, kScrewHead + 1.2, std::sqrt(sx * sx + sy * sy));
    return shade({plateAlbedo(x, y, false) * 1.1, 0.25, 20.0, 0.05, 4.0, 0.1, 0.0}, n, x, y, 0.3 + 0.7 * t,
                 shadow);
  }
  // Domed head.
  const double rs = 12.0;
  double slope = d / std::sqrt(rs * rs - d * d);
  if (d > kScrewHead - 0.8) slope += (d - (kScrewHead - 0.8)) * 1.6;
  V3 n = slopeNormal(dx, dy, slope);
  Rgb albedo = linRgb(150, 152, 156);
  double ao = 1.0;
  double shadowV = 1.0;
  // Cross recess, rotated.
  const double ca = std::cos(s.angle), sa = std::sin(s.angle);
  const double u = (x - s.x) * ca + (y - s.y) * sa;
  const double v = -(x - s.x) * sa + (y - s.y) * ca;
  const double half = 3.3;
  const double w = 0.62 + 0.25 * (1.0 - std::max(std::fabs(u), std::fabs(v)) / half);  // tapered arms
  const bool inU = std::fabs(v) < w && std::fabs(u) < half;
  const bool inV = std::fabs(u) < w && std::fabs(v) < half;
  if (inU || inV) {
    // Inside the slot: walls facing the light get some, the rest is dark.
    double wx, wy;  // direction from the slot centre line toward this point
    if (inU && (!inV || std::fabs(v) / w > std::fabs(u) / w)) {
      wx = -sa * (v > 0 ? 1 : -1);
      wy = ca * (v > 0 ? 1 : -1);
    } else {
      wx = ca * (u > 0 ? 1 : -1);
      wy = sa * (u > 0 ? 1 : -1);
    }
    // Wall normal points back toward the slot centre line.
    n = slopeNormal(-wx, -wy, 1.4);
    albedo = albedo * 0.35;
    ao = 0.25;
    shadowV = clamp01(-(wx * kLight.x + wy * kLight.y) * 1.4);
  }
  return shade({albedo, 0.65, 30.0, 0.12, 5.0, 0.25, 0.12}, n, x, y, ao, shadowV);
}

// ---------------------------------------------------------------------------------------------
// Output
// ---------------------------------------------------------------------------------------------

double toSrgb(double c) {
  c = std::max(0.0, c);
  // Gentle shoulder so highlights roll off like a photograph.
  c = c / (1.0 + 0.12 * c);
  const double s = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
  return s * 255.0;
}

bool writeJpegTo(std::FILE* out, const std::vector<unsigned char>& rgb) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, out);
  cinfo.image_width = kW;
  cinfo.image_height = kH;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, kJpegQuality, TRUE);
  cinfo.dct_method = JDCT_ISLOW;
  cinfo.optimize_coding = TRUE;
  // Full-resolution colour keeps the small red accent crisp.
  cinfo.comp_info[0].h_samp_factor = 1;
  cinfo.comp_info[0].v_samp_factor = 1;
  jpeg_start_compress(&cinfo, TRUE);
  jpeg_write_marker(&cinfo, JPEG_COM, reinterpret_cast<const JOCTET*>(kComment),
                    static_cast<unsigned int>(std::strlen(kComment)));
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(&rgb[static_cast<size_t>(cinfo.next_scanline) * kW * 3]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return !std::ferror(out);
}

bool writeJpeg(const char* path, const std::vector<unsigned char>& rgb) {
  return replaceFile(path, nullptr, [](std::FILE* out, const void* context) {
    return writeJpegTo(out, *static_cast<const std::vector<unsigned char>*>(context));
  }, &rgb);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argc > 0 ? argv[0] : "corvex-panelgen");
    return 2;
  }

  Textures textures;
  gTex = &textures;

  Legends legends;
  {
    Font font(CORVEX_PANEL_FONT);
    const double brandEnd = font.draw(&legends.white, "CORVEX", 19, 33, 36, 1.6);
    font.draw(&legends.silver, "ENGINE MONITORING SYSTEM", 8, 34, 50, 1.15);
    gAccentX = brandEnd + 6.0;
    gAccentTop = 22.5;
    gAccentBottom = 36.0;
  }
  gLeg = &legends;

  std::vector<unsigned char> rgb(static_cast<size_t>(kW) * kH * 3);
  for (int py = 0; py < kH; ++py) {
    for (int px = 0; px < kW; ++px) {
      Rgb acc{0, 0, 0};
      for (int sy = 0; sy < kSuper; ++sy)
        for (int sx = 0; sx < kSuper; ++sx) {
          const double x = px + (sx + 0.5) / kSuper;
          const double y = py + (sy + 0.5) / kSuper;
          acc = acc + scene(x, y);
        }
      acc = acc * (1.0 / (kSuper * kSuper));
      const double vig = vignette(px + 0.5, py + 0.5);
      const double noise = 0.7 * textures.sensor.get(px, py);
      const double out[3] = {toSrgb(acc.r * vig) + noise, toSrgb(acc.g * vig) + noise, toSrgb(acc.b * vig) + noise};
      for (int c = 0; c < 3; ++c)
        rgb[(static_cast<size_t>(py) * kW + px) * 3 + c] =
            static_cast<unsigned char>(std::clamp(static_cast<int>(std::lround(out[c])), 0, 255));
    }
  }

  if (!writeJpeg(argv[1], rgb)) {
    std::fprintf(stderr, "corvex-panelgen: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
