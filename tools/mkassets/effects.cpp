// Explosions, smoke puffs, enemy bullets, sparks and the red trail dots.
#include <algorithm>
#include <cmath>

#include "tools/mkassets/assets.h"

namespace Assets {

namespace {

const float Pi = 3.14159265f;

// Heat 0..1 to fire colour: smoke, deep red, orange, yellow, white.
Color Fire(float heat) {
  static const Color ramp[] = {Rgb(70, 52, 50), Rgb(150, 30, 16), Rgb(236, 96, 18), Rgb(255, 200, 50),
                               Rgb(255, 250, 220), Rgb(255, 255, 255)};
  float t = Clamp01(heat) * 5;
  int i = std::min(4, static_cast<int>(t));
  return Mix(ramp[i], ramp[i + 1], t - i);
}

Canvas Explosion(int t) {
  Canvas c(96, 96);
  const float cx = 48, cy = 48, p = t / 15.0f;
  const float radius = 7 + 33 * (1 - std::pow(1 - p, 2.4f));
  const float heat = std::exp(-p * 2.4f);
  const float hollow = Smooth(0.35f, 1.0f, p);
  const float fade = 1 - 0.88f * Smooth(0.5f, 1.0f, p);

  // Fireball: turbulent edge that grows with the ball, cooling from the outside in, hollowing late.
  c.Glow([&](float x, float y) {
    float dx = (x - cx) / radius, dy = (y - cy) / radius;
    float r = std::hypot(dx, dy);
    float n = Fbm(dx * 2.6f + 7, dy * 2.6f + 3, 11, 4);
    float edge = r + (n - 0.5f) * 0.7f;
    float density = Smooth(1.0f, 0.6f, edge);
    density *= 1 - hollow * Smooth(0.55f, 0.05f, r + (n - 0.5f) * 0.5f) * 0.9f;
    float h = heat * (1.25f - r * 0.8f) + (n - 0.5f) * 0.45f;
    Color col = Fire(h);
    return Color{col.R, col.G, col.B, density * fade};
  });

  // Shock ring in the first frames.
  if (t < 7) {
    float ring = 10 + t * 6.5f, strength = 0.8f * (1 - t / 7.0f);
    c.Glow([&](float x, float y) {
      float d = std::hypot(x - cx, y - cy) - ring;
      return Color{1.0f, 0.85f, 0.55f, std::exp(-d * d / 3) * strength};
    });
  }

  // Debris: hot specks flying out on straight lines, each with a short streak behind it.
  // They slow down, so they stay near the ball and inside the picture.
  Random rnd(4242);
  for (int k = 0; k < 12; ++k) {
    float angle = rnd.Unit() * 2 * Pi, speed = 2.0f + rnd.Unit() * 1.6f;
    float life = 0.5f + rnd.Unit() * 0.4f;
    if (p > life || t == 0) continue;
    float dist = 6 + speed * 9 * (1 - std::exp(-t / 5.0f)), ux = std::cos(angle), uy = std::sin(angle);
    float hx = cx + ux * dist, hy = cy + uy * dist;
    float bright = 1 - p / life;
    Shape streak = Capsule(hx - ux * 2.5f, hy - uy * 2.5f, hx, hy, 0.6f);
    c.Glow([&](float x, float y) {
      float d = std::max(0.0f, streak(x, y));
      return Color{1.0f, 0.8f, 0.45f, std::exp(-d * d * 2) * bright};
    });
  }

  // The first frames are the flash itself: a white star that shrinks away.
  if (t < 3) {
    float size = (3 - t) / 3.0f;
    c.Glow([&](float x, float y) {
      float dx = std::abs(x - cx), dy = std::abs(y - cy);
      float rays = std::exp(-dx * 0.9f - dy * dy * 0.004f) + std::exp(-dy * 0.9f - dx * dx * 0.004f);
      float core = std::exp(-(dx * dx + dy * dy) / (60 * size));
      return Color{1, 1, 0.95f, (rays * 0.6f + core) * size};
    });
  }
  return c;
}

Canvas Puff(int f) {
  // A small cloud of lit, overlapping balls that swells and thins out; fresh exhaust is pale
  // cyan like the shot, old smoke a dull blue-grey.
  struct Ball {
    float X, Y, R;
  };
  static const Ball balls[] = {{0, 0.05f, 0.62f}, {-0.42f, -0.18f, 0.45f}, {0.4f, -0.24f, 0.42f},
                               {-0.22f, 0.38f, 0.4f}, {0.33f, 0.34f, 0.38f}};
  Canvas c(24, 24);
  const float radius = 3.6f + f * 1.3f, opacity = 0.95f - f * 0.12f;
  const Color base = Mix(Rgb(215, 245, 255), Rgb(100, 110, 136), f / 6.0f);
  const float drift = f * 0.35f;  // the balls part a little as the puff ages
  Shape cloud = [=](float x, float y) {
    float best = 1e9f;
    for (const Ball& b : balls)
      best = std::min(best, std::hypot(x - 12 - b.X * radius * (1 + drift * 0.2f), y - 12 - b.Y * radius) - b.R * radius);
    return best;
  };
  c.Paint(cloud, [=](float x, float y) {
    // The ball nearest the viewer at this point gives the normal.
    float top = -1, nx = 0, ny = 0, nz = 1;
    for (const Ball& b : balls) {
      float bx = (x - 12 - b.X * radius * (1 + drift * 0.2f)) / (b.R * radius), by = (y - 12 - b.Y * radius) / (b.R * radius);
      float h = 1 - bx * bx - by * by;
      if (h <= 0 || h * b.R <= top) continue;
      top = h * b.R;
      nx = bx;
      ny = by;
      nz = std::sqrt(h);
    }
    Color col = Scale(base, 0.55f + 0.55f * Lambert(nx, ny, nz));
    // Old smoke dissolves into holes, so the stars show through it as it goes.
    float holes = Fbm(x * 0.45f, y * 0.45f, 57, 2), dissolve = std::max(0.0f, (f - 2) / 6.0f) * 0.75f;
    col.A = opacity * Smooth(dissolve - 0.05f, dissolve + 0.05f, holes);
    return col;
  });
  return c;
}

Canvas Bullet(int f) {
  // Centred at (10, 10): the game draws the bullet's image with its corner 10 pixels off.
  Canvas c(24, 24);
  const float cx = 10, cy = 10, pulse = 4.3f + 0.6f * std::sin(f * Pi / 2);
  c.Glow([&](float x, float y) {
    float d = std::hypot(x - cx, y - cy);
    return Color{1.0f, 0.25f, 0.35f, std::exp(-d * d / (pulse * pulse * 1.6f)) * 0.9f};
  });
  c.Paint(Disc(cx, cy, pulse * 0.72f), [&](float x, float y) {
    float d = std::hypot(x - cx + 0.8f, y - cy + 0.8f) / (pulse * 0.72f);
    return Mix(Rgb(255, 255, 230), Rgb(255, 90, 120), Clamp01(d));
  });
  // Two sparkle rays turning 45 degrees a frame, so the four frames spin the glint round.
  float turn = f * Pi / 4;
  c.Glow([&](float x, float y) {
    float dx = x - cx, dy = y - cy;
    float ra = std::cos(turn) * dx + std::sin(turn) * dy, rb = -std::sin(turn) * dx + std::cos(turn) * dy;
    float g = std::exp(-rb * rb * 1.2f - std::abs(ra) * 0.35f) * 0.7f;
    return Color{1.0f, 0.8f, 0.85f, g * Clamp01(1 - std::hypot(dx, dy) / 9.5f)};
  });
  return c;
}

Canvas Spark(int f) {
  Canvas c(10, 10);
  float angle = (90 - f * 18) * Pi / 180;
  float ux = std::cos(angle) * 3.6f, uy = -std::sin(angle) * 3.6f;
  Shape streak = Capsule(5 - ux, 5 - uy, 5 + ux, 5 + uy, 0.75f);
  c.Paint(streak, [&](float x, float y) {
    float along = std::hypot(x - 5, y - 5) / 4.3f;
    return Mix(Rgb(255, 255, 200), Rgb(255, 210, 0), Clamp01(along));
  });
  c.Glow([&](float x, float y) {
    float d = std::max(0.0f, streak(x, y));
    return Color{1.0f, 0.85f, 0.0f, std::exp(-d * d * 1.2f) * 0.5f};
  });
  return c;
}

}  // namespace

std::vector<Canvas> ExplosionFrames() {
  std::vector<Canvas> frames;
  for (int t = 0; t < 16; ++t) frames.push_back(Explosion(t));
  return frames;
}

std::vector<Canvas> PuffFrames() {
  std::vector<Canvas> frames;
  for (int f = 0; f < 7; ++f) frames.push_back(Puff(f));
  return frames;
}

std::vector<Canvas> BulletFrames() {
  std::vector<Canvas> frames;
  for (int f = 0; f < 4; ++f) frames.push_back(Bullet(f));
  return frames;
}

std::vector<Canvas> SparkFrames() {
  std::vector<Canvas> frames;
  for (int f = 0; f < 6; ++f) frames.push_back(Spark(f));
  return frames;
}

Canvas RedDot(int step) {
  Canvas c(16, 16);
  const float radius = 5.0f - step * 1.5f;
  c.Glow([&](float x, float y) {
    float d = std::hypot(x - 8, y - 8);
    float reach = Clamp01(1 - d / 7.5f);  // stays inside the 16 x 16 cell
    return Color{1.0f, 0.15f, 0.1f, std::exp(-d * d / (radius * radius * 1.8f)) * 0.9f * reach};
  });
  c.Paint(Disc(8, 8, radius * 0.6f), [&](float x, float y) {
    float d = std::hypot(x - 7.5f, y - 7.5f) / (radius * 0.6f);
    return Mix(Rgb(255, 220, 200), Rgb(255, 40, 30), Clamp01(d));
  });
  return c;
}

}  // namespace Assets
