// The application icon: a blue key cap with a bold white "q" dropping onto
// it, three amber streaks trailing above the letter. Each size has its own
// layout so that edges fall on whole pixels; the shapes are signed distance
// fields, filled with anti-aliasing for 8 and 32 bits per pixel and with hard
// edges in the fixed 16-colour palette for 4.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "assets.h"

namespace {

struct Color {
    float r, g, b;
};

// One part of the picture: its colours at 32 bits per pixel (a vertical
// gradient from the icon's top to its bottom), at 8 (a colour of the
// 256-colour palette's cube, so that flat areas map exactly) and at 4 (an
// entry of the 16-colour palette).
struct Material {
    Color top, bottom;
    uint32_t flat; // 0xRRGGBB
    int vga;       // index into kVgaPalette
};

const Material kShadow = {{0, 0, 0}, {0, 0, 0}, 0x000000, 0};
const Material kSkirt = {
    {0.13f, 0.24f, 0.50f}, {0.05f, 0.12f, 0.30f}, 0x003366, 4};
const Material kRim = {
    {0.66f, 0.81f, 1.00f}, {0.66f, 0.81f, 1.00f}, 0x99CCFF, 12};
const Material kFace = {
    {0.34f, 0.56f, 0.96f}, {0.20f, 0.40f, 0.80f}, 0x3366CC, 12};
const Material kGlyphShade = {
    {0.02f, 0.10f, 0.30f}, {0.02f, 0.10f, 0.30f}, 0x003366, 4};
const Material kGlyph = {
    {1.00f, 1.00f, 1.00f}, {0.92f, 0.95f, 1.00f}, 0xFFFFFF, 15};
const Material kStreak = {
    {1.00f, 0.88f, 0.40f}, {1.00f, 0.72f, 0.16f}, 0xFFCC33, 11};

// The Windows 16-colour palette, as 0xRRGGBB.
const uint32_t kVgaPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000,
                                  0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                  0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                  0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// A rounded rectangle, in pixels from the icon's top left corner.
struct Box {
    float x0, y0, x1, y1, radius;
};

// The letter: a bowl, and a stem as wide as the stroke that shares the
// bowl's right edge and descends to `stemBottom`.
struct Letter {
    Box bowl; // outside
    float stroke, stemBottom;
    float shade; // offset of the drop shade; 0 for none
};

struct Streaks {
    int count; // 0 where there is no room
    float top, bottom, width;
};

// Where the parts lie at one size.
struct Layout {
    int size;
    Box cap;  // the whole key cap, its skirt
    Box face; // the top the finger presses
    Letter q;
    Streaks streaks;
};

const Layout kLayouts[] = {
    {48,
     {2, 2, 46, 46, 9},
     {6, 3, 42, 39, 6},
     {{14.5f, 14, 33.5f, 32, 9}, 5.5f, 37.5f, 1.5f},
     {3, 5, 11.5f, 2.5f}},
    {32,
     {1, 1, 31, 31, 6},
     {4, 2, 28, 26, 4},
     {{10, 9.5f, 22, 21.5f, 6}, 3.75f, 25, 1},
     {3, 3, 7.5f, 1.75f}},
    {16,
     {0, 0, 16, 16, 3},
     {2, 1, 14, 14, 2},
     {{4, 3, 12, 10, 3}, 2, 13, 0},
     {0, 0, 0, 0}},
};

// Signed distances: negative inside, in pixels.
float RoundRect(float x, float y, float x0, float y0, float x1, float y1,
                float radius) {
    float qx = std::fabs(x - (x0 + x1) / 2) - (x1 - x0) / 2 + radius;
    float qy = std::fabs(y - (y0 + y1) / 2) - (y1 - y0) / 2 + radius;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float Segment(float x, float y, float x0, float y0, float x1, float y1,
              float radius) {
    float dx = x1 - x0, dy = y1 - y0;
    float t = ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy);
    t = std::min(std::max(t, 0.0f), 1.0f);
    return std::hypot(x - x0 - t * dx, y - y0 - t * dy) - radius;
}

// The bold q: a round bowl and a stem with a square top (what tells it
// from a 9), sharing the bowl's right edge.
float Glyph(const Layout& l, float x, float y) {
    float s = l.q.stroke;
    float outer = RoundRect(x, y, l.q.bowl.x0, l.q.bowl.y0, l.q.bowl.x1,
                            l.q.bowl.y1, l.q.bowl.radius);
    float inner =
        RoundRect(x, y, l.q.bowl.x0 + s, l.q.bowl.y0 + s, l.q.bowl.x1 - s,
                  l.q.bowl.y1 - s, std::max(l.q.bowl.radius - s, 0.0f));
    float stem = RoundRect(x, y, l.q.bowl.x1 - s, l.q.bowl.y0, l.q.bowl.x1,
                           l.q.stemBottom, 0);
    return std::min(std::max(outer, -inner), stem);
}

Color FromRgb(uint32_t v) {
    return {(v >> 16) / 255.0f, (v >> 8 & 0xFF) / 255.0f, (v & 0xFF) / 255.0f};
}

// A picture being drawn for one colour depth: premultiplied RGBA floats.
struct Canvas {
    int size;
    int bits;
    std::vector<float> rgba;

    Canvas(int s, int b) : size(s), bits(b), rgba(s * s * 4, 0.0f) {}

    // Lays `m` over the picture wherever `distance` is negative, with edges
    // anti-aliased except at 4 bits. `softness` widens the edge (a blurred
    // shadow). The cover is scaled by `alpha`, and by a fade from
    // `alphaTop` at `fadeY0` to 1 at `fadeY1` when fadeY1 > fadeY0.
    template <typename Distance>
    void Fill(const Material& m, Distance distance, float alpha = 1,
              float softness = 1, float fadeY0 = 0, float fadeY1 = 0,
              float alphaTop = 1) {
        for (int py = 0; py < size; ++py) {
            float y = py + 0.5f;
            Color c = FromRgb(bits == 4 ? kVgaPalette[m.vga] : m.flat);
            if (bits == 32) {
                float t = y / size;
                c = {m.top.r + (m.bottom.r - m.top.r) * t,
                     m.top.g + (m.bottom.g - m.top.g) * t,
                     m.top.b + (m.bottom.b - m.top.b) * t};
            }
            float rowAlpha = alpha;
            if (fadeY1 > fadeY0 && bits != 4) {
                float f = std::min(
                    std::max((y - fadeY0) / (fadeY1 - fadeY0), 0.0f), 1.0f);
                rowAlpha *= alphaTop + (1 - alphaTop) * f;
            }
            for (int px = 0; px < size; ++px) {
                float d = distance(px + 0.5f, y);
                float cover =
                    bits == 4
                        ? (d < 0 ? 1.0f : 0.0f)
                        : std::min(std::max(0.5f - d / softness, 0.0f), 1.0f);
                float a = cover * rowAlpha;
                if (a <= 0) continue;
                float* p = &rgba[(py * size + px) * 4];
                p[0] = c.r * a + p[0] * (1 - a);
                p[1] = c.g * a + p[1] * (1 - a);
                p[2] = c.b * a + p[2] * (1 - a);
                p[3] = a + p[3] * (1 - a);
            }
        }
    }
};

// Straight (not premultiplied) 8-bit RGBA of one pixel.
void PixelAt(const Canvas& c, int x, int y, uint8_t out[4]) {
    const float* p = &c.rgba[(y * c.size + x) * 4];
    float a = p[3];
    for (int i = 0; i < 3; ++i) {
        float v = a > 0 ? p[i] / a : 0;
        out[i] = (uint8_t)std::lround(std::min(std::max(v, 0.0f), 1.0f) * 255);
    }
    out[3] = (uint8_t)std::lround(std::min(std::max(a, 0.0f), 1.0f) * 255);
}

Canvas Draw(const Layout& l, int bits) {
    Canvas c(l.size, bits);
    // Only true alpha can show a soft shadow under the cap.
    bool shadow = bits == 32 && l.size >= 32;
    if (shadow)
        c.Fill(
            kShadow,
            [&](float x, float y) {
                return RoundRect(x, y, l.cap.x0 + 1, l.cap.y0 + 2, l.cap.x1 - 1,
                                 l.cap.y1, l.cap.radius);
            },
            0.45f, 2.5f);
    c.Fill(kSkirt, [&](float x, float y) {
        return RoundRect(x, y, l.cap.x0, l.cap.y0, l.cap.x1,
                         l.cap.y1 - (shadow ? 1 : 0), l.cap.radius);
    });
    // The face is lit from above: a pale rim one pixel tall along its top.
    c.Fill(kRim, [&](float x, float y) {
        return RoundRect(x, y, l.face.x0, l.face.y0, l.face.x1, l.face.y1,
                         l.face.radius);
    });
    c.Fill(kFace, [&](float x, float y) {
        return RoundRect(x, y, l.face.x0, l.face.y0 + 1, l.face.x1, l.face.y1,
                         l.face.radius);
    });
    // Streaks over the bowl's left side, its middle and the stem, the middle
    // one longest, fading out upwards.
    for (int i = 0; i < l.streaks.count; ++i) {
        float w = l.streaks.width;
        float x = l.q.bowl.x0 + w / 2 +
                  i * (l.q.bowl.x1 - l.q.bowl.x0 - w) / (l.streaks.count - 1);
        float top = l.streaks.top - (i == 1 ? l.size / 32.0f : 0.0f);
        c.Fill(
            kStreak,
            [&](float px, float py) {
                return Segment(px, py, x, top + w / 2, x,
                               l.streaks.bottom - w / 2, w / 2);
            },
            1, 1, top, l.streaks.bottom, 0.3f);
    }
    if (l.q.shade > 0)
        c.Fill(kGlyphShade, [&](float x, float y) {
            return Glyph(l, x - l.q.shade * 0.5f, y - l.q.shade);
        });
    c.Fill(kGlyph, [&](float x, float y) { return Glyph(l, x, y); });
    return c;
}

// The 256-colour palette: the 16 colours, a 6 by 6 by 6 cube, and 24
// in-between shades where the icon's parts meet, so that anti-aliased edges
// keep their hue.
std::vector<uint32_t> Palette256() {
    std::vector<uint32_t> p(kVgaPalette, kVgaPalette + 16);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back((uint32_t)(r * 51) << 16 | (g * 51) << 8 | b * 51);
    const struct {
        const Material *from, *to;
        int steps;
    } ramps[] = {{&kFace, &kGlyph, 8},
                 {&kSkirt, &kFace, 7},
                 {&kFace, &kStreak, 6},
                 {&kFace, &kRim, 3}};
    for (const auto& ramp : ramps)
        for (int i = 1; i <= ramp.steps; ++i) {
            uint32_t v = 0;
            for (int shift = 16; shift >= 0; shift -= 8) {
                int a = ramp.from->flat >> shift & 0xFF;
                int b = ramp.to->flat >> shift & 0xFF;
                v |= (uint32_t)(a + (b - a) * i / (ramp.steps + 1)) << shift;
            }
            p.push_back(v);
        }
    return p;
}

int Nearest(const std::vector<uint32_t>& palette, const uint8_t rgb[3]) {
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        long dr = (long)(palette[i] >> 16) - rgb[0];
        long dg = (long)(palette[i] >> 8 & 0xFF) - rgb[1];
        long db = (long)(palette[i] & 0xFF) - rgb[2];
        long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (bestDistance < 0 || d < bestDistance) {
            best = (int)i;
            bestDistance = d;
        }
    }
    return best;
}

void Put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(v & 0xFF);
    out.push_back(v >> 8 & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// One icon image as the .ico stores it: a BITMAPINFOHEADER of twice the
// height, the palette, the colour rows and the AND mask, bottom row first.
std::vector<uint8_t> EncodeImage(const Canvas& c, int bits) {
    int size = c.size;
    std::vector<uint32_t> palette;
    if (bits == 4) palette.assign(kVgaPalette, kVgaPalette + 16);
    if (bits == 8) palette = Palette256();
    int colorStride = (size * bits + 31) / 32 * 4;
    int maskStride = (size + 31) / 32 * 4;
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, size);
    Put32(out, size * 2);
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0); // BI_RGB
    Put32(out, (colorStride + maskStride) * size);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, (uint32_t)palette.size());
    Put32(out, 0);
    for (uint32_t v : palette) {
        out.push_back(v & 0xFF);
        out.push_back(v >> 8 & 0xFF);
        out.push_back(v >> 16);
        out.push_back(0);
    }
    std::vector<uint8_t> mask(maskStride * size, 0);
    for (int row = 0; row < size; ++row) {
        int y = size - 1 - row;
        std::vector<uint8_t> line(colorStride, 0);
        for (int x = 0; x < size; ++x) {
            uint8_t px[4];
            PixelAt(c, x, y, px);
            bool opaque = px[3] >= 128;
            if (!opaque) mask[row * maskStride + x / 8] |= 0x80 >> (x % 8);
            if (bits == 32) {
                line[x * 4] = px[2];
                line[x * 4 + 1] = px[1];
                line[x * 4 + 2] = px[0];
                line[x * 4 + 3] = px[3];
            } else if (opaque) { // transparent pixels stay index 0, black
                int index = Nearest(palette, px);
                if (bits == 8)
                    line[x] = (uint8_t)index;
                else
                    line[x / 2] |= x % 2 ? index : index << 4;
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

const Layout& LayoutFor(int size) {
    for (const Layout& l : kLayouts)
        if (l.size == size) return l;
    return kLayouts[0];
}

} // namespace

bool WriteIcon(const std::string& path) {
    // The order the resources list: 4 bits, then 8, then 32, large first.
    const int images[][2] = {{32, 4}, {16, 4},  {48, 8},  {32, 8},
                             {16, 8}, {48, 32}, {32, 32}, {16, 32}};
    const int count = sizeof images / sizeof images[0];
    std::vector<std::vector<uint8_t>> bodies;
    for (const auto& image : images)
        bodies.push_back(
            EncodeImage(Draw(LayoutFor(image[0]), image[1]), image[1]));

    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1); // an icon, not a cursor
    Put16(file, count);
    uint32_t offset = 6 + 16 * count;
    for (int i = 0; i < count; ++i) {
        file.push_back((uint8_t)images[i][0]);
        file.push_back((uint8_t)images[i][0]);
        file.push_back(images[i][1] == 4 ? 16 : 0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, images[i][1]);
        Put32(file, (uint32_t)bodies[i].size());
        Put32(file, offset);
        offset += (uint32_t)bodies[i].size();
    }
    for (const auto& body : bodies)
        file.insert(file.end(), body.begin(), body.end());

    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "%s: write failed\n", path.c_str());
    return ok;
}
