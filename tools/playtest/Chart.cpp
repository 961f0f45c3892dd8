#include "Chart.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "Png.h"

namespace {

constexpr i32 WIDTH = 720;
constexpr i32 HEIGHT = 320;
constexpr i32 TEXT_SCALE = 2;
// The plot's margins: left for the value figures, bottom for the level numbers, top for the title.
constexpr i32 LEFT = 56;
constexpr i32 RIGHT = 16;
constexpr i32 TOP = 44;
constexpr i32 BOTTOM = 34;

// A 3 x 5 pixel font: five rows of three columns per glyph, '#' lit.
struct Glyph {
  char c;
  const char* rows;
};
const Glyph FONT[] = {
    {'0', "###"
          "#.#"
          "#.#"
          "#.#"
          "###"},
    {'1', ".#."
          "##."
          ".#."
          ".#."
          "###"},
    {'2', "###"
          "..#"
          "###"
          "#.."
          "###"},
    {'3', "###"
          "..#"
          ".##"
          "..#"
          "###"},
    {'4', "#.#"
          "#.#"
          "###"
          "..#"
          "..#"},
    {'5', "###"
          "#.."
          "###"
          "..#"
          "###"},
    {'6', "###"
          "#.."
          "###"
          "#.#"
          "###"},
    {'7', "###"
          "..#"
          ".#."
          ".#."
          ".#."},
    {'8', "###"
          "#.#"
          "###"
          "#.#"
          "###"},
    {'9', "###"
          "#.#"
          "###"
          "..#"
          "###"},
    {'A', ".#."
          "#.#"
          "###"
          "#.#"
          "#.#"},
    {'B', "##."
          "#.#"
          "##."
          "#.#"
          "##."},
    {'C', ".##"
          "#.."
          "#.."
          "#.."
          ".##"},
    {'D', "##."
          "#.#"
          "#.#"
          "#.#"
          "##."},
    {'E', "###"
          "#.."
          "##."
          "#.."
          "###"},
    {'F', "###"
          "#.."
          "##."
          "#.."
          "#.."},
    {'G', ".##"
          "#.."
          "#.#"
          "#.#"
          ".##"},
    {'H', "#.#"
          "#.#"
          "###"
          "#.#"
          "#.#"},
    {'I', "###"
          ".#."
          ".#."
          ".#."
          "###"},
    {'J', "..#"
          "..#"
          "..#"
          "#.#"
          ".#."},
    {'K', "#.#"
          "#.#"
          "##."
          "#.#"
          "#.#"},
    {'L', "#.."
          "#.."
          "#.."
          "#.."
          "###"},
    {'M', "#.#"
          "###"
          "###"
          "#.#"
          "#.#"},
    {'N', "##."
          "#.#"
          "#.#"
          "#.#"
          "#.#"},
    {'O', ".#."
          "#.#"
          "#.#"
          "#.#"
          ".#."},
    {'P', "##."
          "#.#"
          "##."
          "#.."
          "#.."},
    {'Q', ".#."
          "#.#"
          "#.#"
          "##."
          ".##"},
    {'R', "##."
          "#.#"
          "##."
          "#.#"
          "#.#"},
    {'S', ".##"
          "#.."
          ".#."
          "..#"
          "##."},
    {'T', "###"
          ".#."
          ".#."
          ".#."
          ".#."},
    {'U', "#.#"
          "#.#"
          "#.#"
          "#.#"
          "###"},
    {'V', "#.#"
          "#.#"
          "#.#"
          "#.#"
          ".#."},
    {'W', "#.#"
          "#.#"
          "###"
          "###"
          "#.#"},
    {'X', "#.#"
          "#.#"
          ".#."
          "#.#"
          "#.#"},
    {'Y', "#.#"
          "#.#"
          ".#."
          ".#."
          ".#."},
    {'Z', "###"
          "..#"
          ".#."
          "#.."
          "###"},
    {'%', "#.#"
          "..#"
          ".#."
          "#.."
          "#.#"},
    {'.', "..."
          "..."
          "..."
          "..."
          ".#."},
    {',', "..."
          "..."
          "..."
          ".#."
          "#.."},
    {':', "..."
          ".#."
          "..."
          ".#."
          "..."},
    {'-', "..."
          "..."
          "###"
          "..."
          "..."},
    {'(', ".#."
          "#.."
          "#.."
          "#.."
          ".#."},
    {')', ".#."
          "..#"
          "..#"
          "..#"
          ".#."},
    {'/', "..#"
          "..#"
          ".#."
          "#.."
          "#.."},
    {'=', "..."
          "###"
          "..."
          "###"
          "..."},
    {'<', "..#"
          ".#."
          "#.."
          ".#."
          "..#"},
};

class Canvas {
public:
  Canvas(i32 w, i32 h) : w(w), h(h), rgb(static_cast<size_t>(w) * h * 3, 255) {}

  void Pixel(i32 x, i32 y, u8 r, u8 g, u8 b) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    u8* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
    p[0] = r;
    p[1] = g;
    p[2] = b;
  }
  void Rect(i32 x0, i32 y0, i32 x1, i32 y1, u8 r, u8 g, u8 b) {
    for (i32 y = y0; y <= y1; ++y)
      for (i32 x = x0; x <= x1; ++x) Pixel(x, y, r, g, b);
  }
  // A line two pixels thick; `dash` > 0 leaves gaps of that length.
  void Line(i32 x0, i32 y0, i32 x1, i32 y1, u8 r, u8 g, u8 b, i32 dash = 0) {
    const i32 steps = std::max({std::abs(x1 - x0), std::abs(y1 - y0), 1});
    for (i32 i = 0; i <= steps; ++i) {
      if (dash > 0 && (i / dash) % 2 == 1) continue;
      const i32 x = x0 + (x1 - x0) * i / steps;
      const i32 y = y0 + (y1 - y0) * i / steps;
      Rect(x, y, x + 1, y + 1, r, g, b);
    }
  }
  // Text in the small font, upper case; returns the width drawn.
  i32 Text(i32 x, i32 y, const std::string& text, u8 r = 0, u8 g = 0, u8 b = 0) {
    i32 at = x;
    for (char ch : text) {
      const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      for (const Glyph& glyph : FONT) {
        if (glyph.c != c) continue;
        for (i32 row = 0; row < 5; ++row)
          for (i32 col = 0; col < 3; ++col)
            if (glyph.rows[row * 3 + col] == '#')
              Rect(at + col * TEXT_SCALE, y + row * TEXT_SCALE, at + col * TEXT_SCALE + TEXT_SCALE - 1,
                   y + row * TEXT_SCALE + TEXT_SCALE - 1, r, g, b);
      }
      at += 4 * TEXT_SCALE;
    }
    return at - x;
  }
  static i32 TextWidth(const std::string& text) {
    return static_cast<i32>(text.size()) * 4 * TEXT_SCALE;
  }

  i32 w, h;
  std::vector<u8> rgb;
};

std::string Figure(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", v);
  return text;
}

}  // namespace

std::vector<u8> DrawChart(const OChart& chart, i32 width, i32 height) {
  Canvas c(width, height);
  const i32 x0 = LEFT, x1 = width - RIGHT, y0 = TOP, y1 = height - BOTTOM;
  size_t levels = 0;
  for (const OChartSeries& s : chart.series) levels = std::max(levels, s.y.size());
  const double yMax = chart.yMax > 0.0 ? chart.yMax : 1.0;
  auto px = [&](size_t i) {
    return levels <= 1 ? (x0 + x1) / 2
                       : x0 + 8 + static_cast<i32>((x1 - x0 - 16) * static_cast<double>(i) / (levels - 1));
  };
  auto py = [&](double v) {
    return y1 - static_cast<i32>(std::lround((y1 - y0) * std::min(v, yMax) / yMax));
  };

  c.Text(x0, 4, chart.title);
  // Legend, right-aligned in the row under the title; the goal line first when there is one.
  i32 lx = x1;
  if (chart.goal >= 0.0) {
    lx -= Canvas::TextWidth(chart.goalName) + 28;
    c.Line(lx, 24, lx + 14, 24, 120, 120, 120, 4);
    c.Text(lx + 20, 20, chart.goalName);
  }
  for (auto it = chart.series.rbegin(); it != chart.series.rend(); ++it) {
    lx -= Canvas::TextWidth(it->name) + 28;
    c.Rect(lx, 24, lx + 14, 26, it->r, it->g, it->b);
    c.Text(lx + 20, 20, it->name);
  }
  // Value grid in quarters, labelled on the left.
  for (int q = 0; q <= 4; ++q) {
    const double v = yMax * q / 4.0;
    const i32 y = py(v);
    c.Rect(x0, y, x1, y, 220, 220, 220);
    const std::string label = Figure(v) + chart.yLabel;
    c.Text(x0 - 6 - Canvas::TextWidth(label), y - 5, label, 80, 80, 80);
  }
  c.Rect(x0, y0, x0, y1, 0, 0, 0);
  c.Rect(x0, y1, x1, y1, 0, 0, 0);
  // Level numbers (counted from 1, as the game shows them) under the axis.
  const size_t every = levels > 20 ? 5 : levels > 10 ? 2 : 1;
  for (size_t i = 0; i < levels; ++i) {
    const i32 x = px(i);
    c.Rect(x, y1, x, y1 + 3, 0, 0, 0);
    if ((i + 1) % every == 0 || i == 0) {
      const std::string label = std::to_string(i + 1);
      c.Text(x - Canvas::TextWidth(label) / 2 + 1, y1 + 8, label, 80, 80, 80);
    }
  }
  c.Text(x1 - Canvas::TextWidth("LEVEL") , y1 + 20, "LEVEL", 80, 80, 80);
  if (chart.goal >= 0.0) c.Line(x0, py(chart.goal), x1, py(chart.goal), 120, 120, 120, 6);

  for (const OChartSeries& s : chart.series) {
    bool have = false;
    i32 lastX = 0, lastY = 0;
    for (size_t i = 0; i < s.y.size(); ++i) {
      if (s.y[i] < 0.0) {
        have = false;
        continue;
      }
      const i32 x = px(i), y = py(s.y[i]);
      if (have) c.Line(lastX, lastY, x, y, s.r, s.g, s.b);
      c.Rect(x - 2, y - 2, x + 3, y + 3, s.r, s.g, s.b);
      have = true;
      lastX = x;
      lastY = y;
    }
  }
  return c.rgb;
}

bool WriteChart(const std::string& path, const OChart& chart) {
  return WritePng(path, WIDTH, HEIGHT, DrawChart(chart, WIDTH, HEIGHT));
}
