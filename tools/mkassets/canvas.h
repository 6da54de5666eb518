// Drawing surface of the asset generator: float RGBA pixels, supersampled shapes and additive
// glow, plus the BMP and PNG writers the game and the desktop entry read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Assets {

struct Color {
  float R = 0, G = 0, B = 0, A = 1;
};

Color Rgb(int r, int g, int b, float a = 1);
Color Mix(const Color& a, const Color& b, float t);
Color Scale(const Color& c, float k);
float Clamp01(float v);
float Smooth(float edge0, float edge1, float v);

// Signed distance in pixels: negative inside the shape.
using Shape = std::function<float(float x, float y)>;
// Colour of a shape at a point, chosen after the shape has claimed the point.
using Shader = std::function<Color(float x, float y)>;

struct Point {
  float X, Y;
};

Shape Disc(float cx, float cy, float r);
Shape Ellipse(float cx, float cy, float rx, float ry);
Shape Polygon(std::vector<Point> points);
Shape Capsule(float x0, float y0, float x1, float y1, float r);
Shape Union(Shape a, Shape b);
Shape Subtract(Shape a, Shape b);
Shader Flat(Color c);

// Light from the upper left and slightly in front: shared by every sprite so they sit together.
float Lambert(float nx, float ny, float nz);
float Specular(float nx, float ny, float nz, float power);

// Deterministic value noise in 0..1 (smooth) and a small hash generator for scattered details.
float Noise(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed, int octaves);
class Random {
 public:
  explicit Random(uint32_t seed) : State(seed ? seed : 1) {}
  uint32_t Next();
  float Unit();  // 0..1
 private:
  uint32_t State;
};

class Canvas {
 public:
  Canvas(int width, int height);
  int Width() const { return W; }
  int Height() const { return H; }
  Color& At(int x, int y) { return Pixels[static_cast<size_t>(y) * W + x]; }
  const Color& At(int x, int y) const { return Pixels[static_cast<size_t>(y) * W + x]; }

  // Covers the shape (grown by `grow` pixels) with the shader's colour, 4 x 4 samples a pixel.
  void Paint(const Shape& shape, const Shader& shader, float grow = 0);
  // Shape with a dark rim of `rim` pixels around it, the usual sprite outline.
  void PaintOutlined(const Shape& shape, const Shader& shader, Color rim, float rim_width = 1.2f);
  // Adds light: fn gives the added colour (its alpha scales it) at each pixel centre.
  void Glow(const std::function<Color(float x, float y)>& fn);
  void Blend(int x, int y, const Color& c, float coverage);
  void Paste(const Canvas& src, int x, int y);

  // 8-bit RGB over black; exact black is what the game treats as transparent.
  std::vector<uint8_t> Rgb8() const;
  std::vector<uint8_t> Rgba8() const;

 private:
  int W, H;
  std::vector<Color> Pixels;
};

// Both throw std::runtime_error naming the file when it cannot be written.
void WriteBmp(const std::string& path, const Canvas& canvas);
void WritePng(const std::string& path, const Canvas& canvas);
// Shared with the sound and music writers.
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Images of one list side by side, index order left to right.
Canvas Strip(const std::vector<Canvas>& images);

}  // namespace Assets
