#include "tools/mkassets/canvas.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace Assets {

Color Rgb(int r, int g, int b, float a) { return {r / 255.0f, g / 255.0f, b / 255.0f, a}; }

Color Mix(const Color& a, const Color& b, float t) {
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t, a.A + (b.A - a.A) * t};
}

Color Scale(const Color& c, float k) { return {c.R * k, c.G * k, c.B * k, c.A}; }

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

float Smooth(float edge0, float edge1, float v) {
  float t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

Shape Disc(float cx, float cy, float r) {
  return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

Shape Ellipse(float cx, float cy, float rx, float ry) {
  // Scaled-circle distance: exact enough near the rim, which is all the sampler asks.
  return [=](float x, float y) {
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    float k = std::hypot(dx, dy);
    return (k - 1) * std::min(rx, ry);
  };
}

Shape Polygon(std::vector<Point> pts) {
  return [pts = std::move(pts)](float x, float y) {
    float best = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      const Point& a = pts[i];
      const Point& b = pts[j];
      float ex = b.X - a.X, ey = b.Y - a.Y;
      float t = Clamp01(((x - a.X) * ex + (y - a.Y) * ey) / (ex * ex + ey * ey));
      best = std::min(best, std::hypot(x - a.X - ex * t, y - a.Y - ey * t));
      if ((a.Y > y) != (b.Y > y) && x < a.X + ex * (y - a.Y) / ey) inside = !inside;
    }
    return inside ? -best : best;
  };
}

Shape Capsule(float x0, float y0, float x1, float y1, float r) {
  return [=](float x, float y) {
    float ex = x1 - x0, ey = y1 - y0;
    float len2 = ex * ex + ey * ey;
    float t = len2 > 0 ? Clamp01(((x - x0) * ex + (y - y0) * ey) / len2) : 0;
    return std::hypot(x - x0 - ex * t, y - y0 - ey * t) - r;
  };
}

Shape Union(Shape a, Shape b) {
  return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Shape Subtract(Shape a, Shape b) {
  return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

Shader Flat(Color c) {
  return [=](float, float) { return c; };
}

namespace {
const float LightX = -0.45f, LightY = -0.6f, LightZ = 0.66f;

void Normalise(float& x, float& y, float& z) {
  float len = std::sqrt(x * x + y * y + z * z);
  if (len > 0) {
    x /= len;
    y /= len;
    z /= len;
  }
}
}  // namespace

float Lambert(float nx, float ny, float nz) {
  Normalise(nx, ny, nz);
  return std::max(0.0f, nx * LightX + ny * LightY + nz * LightZ);
}

float Specular(float nx, float ny, float nz, float power) {
  Normalise(nx, ny, nz);
  // Half vector between the light and the viewer (straight out of the screen).
  float hx = LightX, hy = LightY, hz = LightZ + 1;
  Normalise(hx, hy, hz);
  return std::pow(std::max(0.0f, nx * hx + ny * hy + nz * hz), power);
}

namespace {
float Hash(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return static_cast<float>((h ^ (h >> 16)) & 0xFFFFFF) / 16777215.0f;
}
}  // namespace

float Noise(float x, float y, uint32_t seed) {
  int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  float fx = x - ix, fy = y - iy;
  float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  float a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
  float c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
  return a + (b - a) * sx + (c - a) * sy + (a - b - c + d) * sx * sy;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += Noise(x, y, seed + i * 101) * amp;
    norm += amp;
    x *= 2.03f;
    y *= 2.03f;
    amp *= 0.5f;
  }
  return sum / norm;
}

uint32_t Random::Next() {
  State ^= State << 13;
  State ^= State >> 17;
  State ^= State << 5;
  return State;
}

float Random::Unit() { return static_cast<float>(Next() & 0xFFFFFF) / 16777215.0f; }

Canvas::Canvas(int width, int height) : W(width), H(height), Pixels(static_cast<size_t>(width) * height, Color{0, 0, 0, 0}) {}

void Canvas::Blend(int x, int y, const Color& c, float coverage) {
  if (x < 0 || y < 0 || x >= W || y >= H) return;
  float a = Clamp01(c.A * coverage);
  if (a <= 0) return;
  Color& d = At(x, y);
  float out = a + d.A * (1 - a);
  d.R = (c.R * a + d.R * d.A * (1 - a)) / out;
  d.G = (c.G * a + d.G * d.A * (1 - a)) / out;
  d.B = (c.B * a + d.B * d.A * (1 - a)) / out;
  d.A = out;
}

void Canvas::Paint(const Shape& shape, const Shader& shader, float grow) {
  const int n = 4;
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      // Pixels far from the edge need one test, not sixteen.
      float centre = shape(x + 0.5f, y + 0.5f) - grow;
      if (centre > 1.5f) continue;
      int hits = 0;
      if (centre < -1.5f) {
        hits = n * n;
      } else {
        for (int sy = 0; sy < n; ++sy)
          for (int sx = 0; sx < n; ++sx)
            if (shape(x + (sx + 0.5f) / n, y + (sy + 0.5f) / n) < grow) ++hits;
      }
      if (hits == 0) continue;
      Blend(x, y, shader(x + 0.5f, y + 0.5f), static_cast<float>(hits) / (n * n));
    }
  }
}

void Canvas::PaintOutlined(const Shape& shape, const Shader& shader, Color rim, float rim_width) {
  Paint(shape, Flat(rim), rim_width);
  Paint(shape, shader);
}

void Canvas::Glow(const std::function<Color(float x, float y)>& fn) {
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      Color add = fn(x + 0.5f, y + 0.5f);
      if (add.A <= 0) continue;
      Color& d = At(x, y);
      // Light adds to what is there; over empty space it becomes its own translucent colour.
      float r = d.R * d.A + add.R * add.A, g = d.G * d.A + add.G * add.A, b = d.B * d.A + add.B * add.A;
      float a = std::max({d.A, Clamp01(r), Clamp01(g), Clamp01(b)});
      if (a <= 0) continue;
      d = {Clamp01(r / a), Clamp01(g / a), Clamp01(b / a), a};
    }
  }
}

void Canvas::Paste(const Canvas& src, int x0, int y0) {
  for (int y = 0; y < src.H; ++y)
    for (int x = 0; x < src.W; ++x)
      if (x0 + x >= 0 && y0 + y >= 0 && x0 + x < W && y0 + y < H) At(x0 + x, y0 + y) = src.At(x, y);
}

namespace {
uint8_t Byte(float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)); }
}  // namespace

std::vector<uint8_t> Canvas::Rgb8() const {
  // The game draws every non-black pixel opaque: faint halo pixels would show as murky squares
  // over the stars, so anything darker than this becomes transparent black.
  const float cut = 10.0f / 255;
  std::vector<uint8_t> out;
  out.reserve(Pixels.size() * 3);
  for (const Color& c : Pixels) {
    float r = c.R * c.A, g = c.G * c.A, b = c.B * c.A;
    bool clear = std::max({r, g, b}) < cut;
    out.push_back(clear ? 0 : Byte(r));
    out.push_back(clear ? 0 : Byte(g));
    out.push_back(clear ? 0 : Byte(b));
  }
  return out;
}

std::vector<uint8_t> Canvas::Rgba8() const {
  std::vector<uint8_t> out;
  out.reserve(Pixels.size() * 4);
  for (const Color& c : Pixels) {
    for (float v : {c.R, c.G, c.B, c.A}) out.push_back(Byte(v));
  }
  return out;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

namespace {
void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutBe(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
  uint32_t a = 1, b = 0;
  for (uint8_t v : data) {
    a = (a + v) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
  PutBe(out, static_cast<uint32_t>(body.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  PutBe(out, Crc32(out.data() + start, out.size() - start));
}

// zlib stream of stored (uncompressed) deflate blocks: small icons need no real compressor.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t pos = 0;
  do {
    size_t n = std::min<size_t>(65535, raw.size() - pos);
    bool last = pos + n == raw.size();
    z.push_back(last ? 1 : 0);
    PutLe(z, static_cast<uint32_t>(n), 2);
    PutLe(z, static_cast<uint32_t>(~n & 0xFFFF), 2);
    z.insert(z.end(), raw.begin() + static_cast<long>(pos), raw.begin() + static_cast<long>(pos + n));
    pos += n;
  } while (pos < raw.size());
  PutBe(z, Adler32(raw));
  return z;
}
}  // namespace

void WriteBmp(const std::string& path, const Canvas& canvas) {
  const int w = canvas.Width(), h = canvas.Height();
  const uint32_t stride = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  const uint32_t data = stride * static_cast<uint32_t>(h);
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLe(out, 54 + data, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(w), 4);
  PutLe(out, static_cast<uint32_t>(h), 4);  // positive: rows stored bottom-up
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, data, 4);
  PutLe(out, 2835, 4);  // 72 dpi
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  std::vector<uint8_t> rgb = canvas.Rgb8();
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      out.push_back(p[2]);
      out.push_back(p[1]);
      out.push_back(p[0]);
    }
    for (uint32_t pad = static_cast<uint32_t>(w) * 3; pad < stride; ++pad) out.push_back(0);
  }
  WriteBytes(path, out);
}

void WritePng(const std::string& path, const Canvas& canvas) {
  const int w = canvas.Width(), h = canvas.Height();
  std::vector<uint8_t> rgba = canvas.Rgba8();
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(h) * (1 + w * 4));
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);  // filter type None
    raw.insert(raw.end(), rgba.begin() + static_cast<long>(y) * w * 4, rgba.begin() + static_cast<long>(y + 1) * w * 4);
  }
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<uint8_t> ihdr;
  PutBe(ihdr, static_cast<uint32_t>(w));
  PutBe(ihdr, static_cast<uint32_t>(h));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter set, no interlace
  PutChunk(out, "IHDR", ihdr);
  PutChunk(out, "IDAT", StoredZlib(raw));
  PutChunk(out, "IEND", {});
  WriteBytes(path, out);
}

Canvas Strip(const std::vector<Canvas>& images) {
  int w = 0, h = 0;
  for (const Canvas& c : images) {
    w += c.Width();
    h = std::max(h, c.Height());
  }
  Canvas strip(w, h);
  int x = 0;
  for (const Canvas& c : images) {
    strip.Paste(c, x, 0);
    x += c.Width();
  }
  return strip;
}

}  // namespace Assets
