// Bitmap fonts, the HUD labels and the title logo. Every letter comes from a hand-made 5 x 7
// dot pattern below; the dots are joined by round strokes, so one pattern serves every size.
#include <cmath>
#include <stdexcept>
#include <string>

#include "tools/mkassets/assets.h"

namespace Assets {

namespace {

struct Pattern {
  char Key;
  const char* Rows[7];
};

const Pattern Patterns[] = {
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
    // The logo's Q: a plain tail, no inner stroke to crowd the large letter.
    {'q', {".###.", "#...#", "#...#", "#...#", "#...#", "#..#.", ".##.#"}},
    {'~', {".....", ".....", ".#...", "#.#.#", "...#.", ".....", "....."}},
};

const Pattern& Find(char key) {
  for (const Pattern& p : Patterns)
    if (p.Key == key) return p;
  throw std::runtime_error(std::string("no glyph pattern for '") + key + "'");
}

bool On(const Pattern& p, int col, int row) {
  return col >= 0 && col < 5 && row >= 0 && row < 7 && p.Rows[row][col] == '#';
}

// How one line of pattern text is laid onto a picture.
struct Layout {
  float X, Y;       // centre of the first pattern's top-left dot
  float Dx, Dy;     // dot spacing
  float Radius;     // stroke radius
  float Advance;    // from one character to the next
  float Slant = 0;  // x shift per pixel upward (italics)
};

struct Stroke {
  float X0, Y0, X1, Y1;
};

// Dots joined to their neighbours: straight links always, diagonal ones only where no
// straight pair already closes the corner (otherwise corners would blob).
std::vector<Stroke> Strokes(const std::string& text, const Layout& l) {
  std::vector<Stroke> out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ') continue;
    const Pattern& p = Find(text[i]);
    auto at = [&](int col, int row, float& x, float& y) {
      y = l.Y + row * l.Dy;
      x = l.X + i * l.Advance + col * l.Dx + (l.Y + 3 * l.Dy - y) * l.Slant;
    };
    for (int row = 0; row < 7; ++row) {
      for (int col = 0; col < 5; ++col) {
        if (!On(p, col, row)) continue;
        float x0, y0, x1, y1;
        at(col, row, x0, y0);
        out.push_back({x0, y0, x0, y0});
        const int links[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
        for (const auto& d : links) {
          int c = col + d[0], r = row + d[1];
          if (!On(p, c, r)) continue;
          bool diagonal = d[0] != 0 && d[1] != 0;
          if (diagonal && (On(p, c, row) || On(p, col, r))) continue;
          at(c, r, x1, y1);
          out.push_back({x0, y0, x1, y1});
        }
      }
    }
  }
  return out;
}

Shape TextShape(const std::string& text, const Layout& l) {
  std::vector<Stroke> strokes = Strokes(text, l);
  float r = l.Radius;
  return [strokes, r](float x, float y) {
    float best = 1e9f;
    for (const Stroke& s : strokes) {
      float ex = s.X1 - s.X0, ey = s.Y1 - s.Y0;
      float len2 = ex * ex + ey * ey;
      float t = len2 > 0 ? Clamp01(((x - s.X0) * ex + (y - s.Y0) * ey) / len2) : 0;
      best = std::min(best, std::hypot(x - s.X0 - ex * t, y - s.Y0 - ey * t));
    }
    return best - r;
  };
}

// A stroke lit as a round tube: its normal bends outward from the middle of the stroke.
Color Rounded(const Shape& shape, float x, float y, float radius, Color base, float ambient, float shine, float power) {
  float gx = shape(x + 0.25f, y) - shape(x - 0.25f, y), gy = shape(x, y + 0.25f) - shape(x, y - 0.25f);
  float len = std::hypot(gx, gy);
  float edge = 1 - Clamp01(-shape(x, y) / radius);
  float nx = len > 0 ? gx / len * edge : 0, ny = len > 0 ? gy / len * edge : 0;
  float light = ambient + (1.15f - ambient) * Lambert(nx, ny, 1) + shine * Specular(nx, ny, 1, power);
  return Color{Clamp01(base.R * light), Clamp01(base.G * light), Clamp01(base.B * light), 1};
}

// Colour running from `top` to `bottom`, a lit bevel along the strokes and a dark rim.
void PaintText(Canvas& c, const std::string& text, const Layout& l, Color top, Color bottom, Color rim,
               float rim_width) {
  Shape shape = TextShape(text, l);
  float y0 = l.Y - l.Radius, y1 = l.Y + 6 * l.Dy + l.Radius;
  c.PaintOutlined(shape, [=](float x, float y) {
    Color base = Mix(top, bottom, Clamp01((y - y0) / (y1 - y0)));
    return Rounded(shape, x, y, l.Radius, base, 0.7f, 0.5f, 12);
  }, rim, rim_width);
}

}  // namespace

std::vector<Canvas> GlyphFont() {
  std::vector<Canvas> glyphs;
  const std::string keys = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (char key : keys) {
    Canvas c(16, 16);
    PaintText(c, std::string(1, key), {2.5f, 2.3f, 2.0f, 1.9f, 1.15f, 12}, Rgb(210, 255, 160), Rgb(0, 170, 50),
              Rgb(6, 44, 18), 1.0f);
    glyphs.push_back(c);
  }
  for (int step = 0; step < 3; ++step) glyphs.push_back(RedDot(step));
  return glyphs;
}

std::vector<Canvas> DigitFont() {
  std::vector<Canvas> digits;
  for (char key = '0'; key <= '9'; ++key) {
    Canvas c(16, 16);
    PaintText(c, std::string(1, key), {3.1f, 2.6f, 1.55f, 1.8f, 1.0f, 10, 0.1f}, Rgb(200, 235, 255),
              Rgb(30, 90, 255), Rgb(8, 14, 60), 0.8f);
    digits.push_back(c);
  }
  return digits;
}

std::vector<Canvas> Labels() {
  struct Label {
    const char* Text;
    Color Top, Bottom, Rim;
    bool Centred;
  };
  const Color pink = Rgb(255, 170, 255), magenta = Rgb(220, 30, 220), plum = Rgb(50, 6, 50);
  const Label labels[] = {{"SCORE", pink, magenta, plum, false},
                          {"HI-SCORE", pink, magenta, plum, false},
                          {"RECOVER", pink, magenta, plum, false},
                          {"~RANKING~", Rgb(255, 255, 190), Rgb(255, 190, 0), Rgb(60, 40, 0), true}};
  std::vector<Canvas> out;
  for (const Label& l : labels) {
    Canvas c(75, 17);
    const float dx = 1.3f, radius = 0.85f;
    const size_t n = std::string(l.Text).size();
    const float advance = std::min(8.4f, 73.0f / n);
    const float width = (n - 1) * advance + 4 * dx;
    const float x = l.Centred ? (75 - width) / 2 : 1.5f + radius;
    PaintText(c, l.Text, {x, 3.2f, dx, 1.75f, radius, advance}, l.Top, l.Bottom, l.Rim, 0.9f);
    out.push_back(c);
  }
  return out;
}

Canvas TitleLogo() {
  Canvas c(230, 109);
  const Layout front{25.5f, 20.0f, 7.4f, 10.6f, 6.2f, 50, 0.14f};
  Layout shadow = front;
  shadow.X += 5;
  shadow.Y += 6;
  c.Paint(TextShape("Zq-2", shadow), Flat(Rgb(14, 26, 100)), 1.0f);
  // Chrome: sky above a bright horizon, deep blue below it.
  Shape shape = TextShape("Zq-2", front);
  const float horizon = front.Y + 3 * front.Dy;
  c.PaintOutlined(shape, [=](float x, float y) {
    Color base = y < horizon ? Mix(Rgb(120, 190, 255), Rgb(230, 245, 255), Clamp01((y - 10) / (horizon - 10)))
                             : Mix(Rgb(20, 70, 230), Rgb(70, 140, 255), Clamp01((y - horizon) / 35));
    return Rounded(shape, x, y, front.Radius, base, 0.65f, 0.6f, 16);
  }, Rgb(6, 12, 50), 1.6f);
  return c;
}

}  // namespace Assets
