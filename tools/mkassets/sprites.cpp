// The ship, its shot and the two enemies, all 80 x 80 with the sprite centred at (40, 40).
#include <cmath>

#include "tools/mkassets/assets.h"

namespace Assets {

namespace {

const float Pi = 3.14159265f;
const Color Outline = Rgb(14, 16, 34);

// Shades a surface of colour `base` with normal n under the shared light.
Color Metal(Color base, float nx, float ny, float nz, float shine = 0.55f) {
  float diffuse = 0.28f + 0.85f * Lambert(nx, ny, nz);
  float highlight = shine * Specular(nx, ny, nz, 24);
  return {base.R * diffuse + highlight, base.G * diffuse + highlight, base.B * diffuse + highlight, 1};
}

// Normal of a rounded edge: flat inside, bending outward within `width` pixels of the rim.
void Bevel(const Shape& shape, float x, float y, float width, float& nx, float& ny, float& nz) {
  float d = shape(x, y);
  float gx = shape(x + 0.25f, y) - shape(x - 0.25f, y);
  float gy = shape(x, y + 0.25f) - shape(x, y - 0.25f);
  float len = std::hypot(gx, gy);
  float t = 1 - Clamp01(-d / width);
  float bend = t * t * 1.6f;
  nx = len > 0 ? gx / len * bend : 0;
  ny = len > 0 ? gy / len * bend : 0;
  nz = 1;
}

// Roll about the ship's long axis: parts at height z slide sideways, widths shrink.
struct Roll {
  float Cx, Cy, Cos, Sin, Size;
  Point Local(float x, float y, float z) const {
    return {(x - Cx) / (Cos * Size) - z * Sin / Cos, (y - Cy) / Size};
  }
  Shape Of(Shape local, float z) const {
    Roll r = *this;
    return [=](float x, float y) {
      Point p = r.Local(x, y, z);
      return local(p.X, p.Y) * r.Size * r.Cos;
    };
  }
  // Turns a normal of the unrolled ship into screen space.
  void Turn(float& nx, float& nz) const {
    float x = nx * Cos + nz * Sin;
    float z = -nx * Sin + nz * Cos;
    nx = x;
    nz = z;
  }
};

std::vector<Point> Mirror(std::vector<Point> half) {
  for (size_t i = half.size(); i-- > 0;) half.push_back({-half[i].X, half[i].Y});
  return half;
}

void DrawShip(Canvas& c, float cx, float cy, float size, float roll_degrees) {
  float a = roll_degrees * Pi / 180;
  Roll r{cx, cy, std::cos(a), std::sin(a), size};
  const Color hull = Rgb(178, 190, 214), accent = Rgb(226, 62, 48), dark = Rgb(70, 78, 104);

  // Engine flames first, under everything.
  for (float side : {-5.0f, 5.0f}) {
    Shape flame = r.Of(Ellipse(side, 19, 2.6f, 6.5f), 1);
    c.Paint(flame, [=](float x, float y) {
      Point p = r.Local(x, y, 1);
      float t = Clamp01((p.Y - 14) / 12);
      return Mix(Rgb(255, 250, 200), Rgb(255, 90, 20), t);
    });
  }

  Shape wing = Polygon(Mirror({{-4, -8}, {-13, 2}, {-24, 9}, {-24, 15}, {-15, 14}, {-5, 12}}));
  c.PaintOutlined(r.Of(wing, 0), [=](float x, float y) {
    Point p = r.Local(x, y, 0);
    float nx, ny, nz;
    Bevel(wing, p.X, p.Y, 2.2f, nx, ny, nz);
    r.Turn(nx, nz);
    Color base = hull;
    // A red stripe along each wing and darker trailing panels.
    float stripe = std::abs(p.Y - 4 - std::abs(p.X) * 0.45f);
    if (std::abs(p.X) > 9 && stripe < 1.6f) base = accent;
    if (p.Y > 11.5f) base = dark;
    return Metal(base, nx, ny, nz, 0.35f);
  }, Outline);

  // Wing-tip fins stand up from the wing, so they slide with the roll.
  for (float side : {-1.0f, 1.0f}) {
    Shape fin = Polygon({{side * 22, 5}, {side * 24.5f, 6}, {side * 24.5f, 15}, {side * 21.5f, 15}});
    c.PaintOutlined(r.Of(fin, 5), [=](float, float) { return Metal(accent, side * 0.5f, 0, 1); }, Outline, 0.8f);
  }

  // Fuselage with the two prongs that hold the charged shot between them.
  Shape body = Polygon({{-4.5f, -5}, {-6.5f, 3}, {-7, 15}, {7, 15}, {6.5f, 3}, {4.5f, -5}});
  for (float side : {-1.0f, 1.0f})
    body = Union(body, Polygon({{side * 3.6f, -4}, {side * 4.4f, -20}, {side * 6.6f, -20}, {side * 8, -4}}));
  c.PaintOutlined(r.Of(body, 6), [=](float x, float y) {
    Point p = r.Local(x, y, 6);
    float across = std::abs(p.X) > 3.4f && p.Y < -5 ? (p.X - (p.X > 0 ? 5.6f : -5.6f)) / 2.4f : p.X / 7.0f;
    float nx = std::clamp(across, -0.95f, 0.95f);
    float nz = std::sqrt(1 - nx * nx);
    r.Turn(nx, nz);
    Color base = p.Y < -14 ? accent : hull;
    return Metal(base, nx, -0.15f, nz);
  }, Outline);

  // Engine nozzles at the tail.
  for (float side : {-4.5f, 4.5f})
    c.PaintOutlined(r.Of(Ellipse(side, 15, 2.4f, 1.6f), 7), Flat(Rgb(60, 54, 70)), Outline, 0.7f);

  // Canopy: blue glass with a highlight.
  Shape canopy = Ellipse(0, 4, 3.4f, 6.2f);
  c.PaintOutlined(r.Of(canopy, 10), [=](float x, float y) {
    Point p = r.Local(x, y, 10);
    float nx = p.X / 3.4f, ny = (p.Y - 4) / 6.2f;
    float nz = std::sqrt(std::max(0.05f, 1 - nx * nx - ny * ny));
    r.Turn(nx, nz);
    return Metal(Rgb(40, 120, 230), nx, ny, nz, 1.0f);
  }, Outline, 0.9f);
}

Canvas Sprite80() { return Canvas(80, 80); }

}  // namespace

std::vector<Canvas> ShipFrames() {
  std::vector<Canvas> frames;
  for (int bank = 0; bank < 7; ++bank) {
    Canvas c = Sprite80();
    DrawShip(c, 40, 40, 1.0f, (bank - 3) * 17.0f);
    frames.push_back(c);
  }
  return frames;
}

Canvas Icon(int size) {
  Canvas c(size, size);
  DrawShip(c, size / 2.0f, size / 2.0f - size / 64.0f, size / 52.0f, 0);
  return c;
}

std::vector<Canvas> ShotFrames() {
  std::vector<Canvas> frames;
  for (int f = 0; f < 3; ++f) {
    Canvas c = Sprite80();
    // Soft cyan aura round the head, and a tapering tail of plasma that flickers frame to frame.
    c.Glow([=](float x, float y) {
      float dx = (x - 40) / 7.5f, dy = (y - 35) / 11.0f;
      return Color{0.3f, 0.85f, 1.0f, std::exp(-(dx * dx + dy * dy) * 1.8f) * 0.9f};
    });
    c.Glow([=](float x, float y) {
      float down = (y - 42) / (16.0f + 3 * f);
      if (down < 0 || down > 1) return Color{0, 0, 0, 0};
      float width = 3.2f * (1 - down) + 0.6f;
      float wobble = (Noise(y * 0.35f, f * 5.0f, 77) - 0.5f) * 1.6f * down;
      float across = (x - 40 - wobble) / width;
      float heat = (1 - down) * (0.75f + 0.25f * Noise(y * 0.5f, f * 7.0f, 78));
      return Color{0.35f + 0.4f * heat, 0.9f, 1.0f, std::exp(-across * across * 2) * heat * 0.85f};
    });
    c.Paint(Ellipse(40, 35, 3.4f, 10.0f), [](float, float y) {
      return Mix(Rgb(255, 255, 255), Rgb(150, 240, 255), Clamp01((y - 30) / 14));
    });
    // A four-point sparkle at the head, turning a little each frame.
    float turn = f * Pi / 12;
    c.Glow([=](float x, float y) {
      float dx = x - 40, dy = y - 31;
      float ra = std::cos(turn) * dx + std::sin(turn) * dy;
      float rb = -std::sin(turn) * dx + std::cos(turn) * dy;
      float g = std::exp(-std::abs(ra) * 1.3f - rb * rb * 0.04f) + std::exp(-std::abs(rb) * 1.3f - ra * ra * 0.04f);
      return Color{0.8f, 1.0f, 1.0f, g * 0.55f * Clamp01(1 - std::hypot(dx, dy) / 10)};
    });
    frames.push_back(c);
  }
  return frames;
}

std::vector<Canvas> BonusFrames() {
  std::vector<Canvas> frames;
  const float cx = 40, cy = 42;
  for (int s = 0; s < 8; ++s) {
    Canvas c = Sprite80();
    // Four rim lights orbit the saucer; two colours alternate, so 8 steps make a cycle.
    auto lights = [&](bool front) {
      for (int k = 0; k < 4; ++k) {
        float phi = (s * 22.5f + k * 90.0f) * Pi / 180;
        float depth = std::sin(phi);
        if ((depth > -0.15f) != front) continue;
        float lx = cx + 23 * std::cos(phi), ly = cy + 2 + 6 * depth;
        Color lamp = k % 2 ? Rgb(40, 230, 255) : Rgb(255, 50, 40);
        float bright = front ? 0.65f + 0.35f * depth : 0.45f;
        c.Glow([=](float x, float y) {
          float d = std::hypot(x - lx, (y - ly) * 1.3f);
          return Color{lamp.R, lamp.G, lamp.B, std::exp(-d * d / 22) * bright};
        });
        c.PaintOutlined(Disc(lx, ly, front ? 2.9f : 2.0f), Flat(Scale(Mix(lamp, Rgb(255, 255, 255), 0.15f), 0.35f + 0.65f * bright)),
                        Outline, 0.7f);
      }
    };
    lights(false);
    Shape hull = Ellipse(cx, cy, 27, 10);
    c.PaintOutlined(hull, [=](float x, float y) {
      float nx = (x - cx) / 27, ny = (y - cy) / 10;
      float nz = std::sqrt(std::max(0.02f, 1 - nx * nx - ny * ny));
      Color gold = Rgb(236, 178, 52);
      // A darker band round the rim where the lights run.
      if (std::abs(ny - 0.25f) < 0.12f) gold = Rgb(150, 96, 30);
      return Metal(gold, nx, ny * 1.6f, nz, 0.8f);
    }, Outline);
    Shape dome = Subtract(Ellipse(cx, cy - 5, 12, 10), Polygon({{0, cy - 2}, {80, cy - 2}, {80, 80}, {0, 80}}));
    c.PaintOutlined(dome, [=](float x, float y) {
      float nx = (x - cx) / 12, ny = (y - cy + 5) / 10;
      float nz = std::sqrt(std::max(0.02f, 1 - nx * nx - ny * ny));
      return Metal(Rgb(70, 210, 190), nx, ny, nz, 1.1f);
    }, Outline, 1.0f);
    lights(true);
    frames.push_back(c);
  }
  return frames;
}

std::vector<Canvas> ShooterFrames() {
  std::vector<Canvas> frames;
  const float cx = 40, cy = 40;
  const Color armour = Rgb(150, 60, 190), gun = Rgb(120, 128, 150);
  for (int s = 0; s < 8; ++s) {
    Canvas c = Sprite80();
    float a = s * 22.5f * Pi / 180;
    float ux = std::cos(a), uy = std::sin(a);  // the cannons point along (ux, uy) and back
    // Stubby fins across the cannons, then the cannons, then the armoured body over their roots.
    for (float side : {-1.0f, 1.0f}) {
      float fx = cx - uy * side * 17, fy = cy + ux * side * 17;
      Shape fin = Capsule(cx, cy, fx, fy, 4.2f);
      c.PaintOutlined(fin, [=](float x, float y) {
        float nx, ny, nz;
        Bevel(fin, x, y, 2.5f, nx, ny, nz);
        return Metal(Rgb(96, 40, 130), nx, ny, nz, 0.3f);
      }, Outline);
    }
    for (float side : {-1.0f, 1.0f}) {
      float ex = cx + ux * side * 25, ey = cy + uy * side * 25;
      Shape barrel = Capsule(cx, cy, ex, ey, 3.3f);
      c.PaintOutlined(barrel, [=](float x, float y) {
        // Cylinder across the barrel's axis.
        float across = ((x - cx) * -uy + (y - cy) * ux) / 3.3f;
        across = std::clamp(across, -0.95f, 0.95f);
        float nz = std::sqrt(1 - across * across);
        return Metal(gun, -uy * across, ux * across, nz, 0.7f);
      }, Outline);
      c.Glow([=](float x, float y) {
        float d = std::hypot(x - ex, y - ey);
        return Color{1.0f, 0.55f, 0.25f, std::exp(-d * d / 6) * 0.9f};
      });
    }
    Shape body = Disc(cx, cy, 13);
    c.PaintOutlined(body, [=](float x, float y) {
      float nx = (x - cx) / 13, ny = (y - cy) / 13;
      float nz = std::sqrt(std::max(0.02f, 1 - nx * nx - ny * ny));
      // Armour plates: a seam along the cannon axis and one across it.
      float along = (x - cx) * ux + (y - cy) * uy, across = (x - cx) * -uy + (y - cy) * ux;
      Color base = armour;
      if (std::abs(along) < 0.8f || std::abs(across) < 0.8f) base = Rgb(70, 26, 90);
      return Metal(base, nx, ny, nz, 0.6f);
    }, Outline);
    // The eye: a glowing red-orange core.
    c.Paint(Disc(cx, cy, 5), [=](float x, float y) {
      float d = std::hypot(x - cx + 1.2f, y - cy + 1.2f) / 5;
      return Mix(Rgb(255, 240, 160), Rgb(220, 40, 30), Clamp01(d));
    });
    c.Glow([=](float x, float y) {
      float d = std::hypot(x - cx, y - cy);
      return Color{1.0f, 0.4f, 0.2f, std::exp(-d * d / 30) * 0.35f};
    });
    frames.push_back(c);
  }
  return frames;
}

}  // namespace Assets
