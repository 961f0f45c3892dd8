#pragma once
// The difficulty curve of one episode as a picture: one line per player over the episode's
// levels, with a title, the axes' figures and an optional goal line; written as a PNG.
#include <string>
#include <vector>

#include "core/Types.h"

struct OChartSeries {
  std::string name;          // shown in the legend
  u8 r = 0, g = 0, b = 0;    // line colour
  std::vector<double> y;     // one value per level; a negative value leaves a gap
};

struct OChart {
  std::string title;
  std::string yLabel;        // unit of the figures on the left, e.g. "S" or "%"
  double yMax = 100.0;       // top of the value axis (values above it are drawn at the top)
  double goal = -1.0;        // a dashed line at this value, none when negative
  std::string goalName = "GOAL";  // its legend entry
  std::vector<OChartSeries> series;
};

// Draws the chart into width x height RGB pixels, rows top first.
std::vector<u8> DrawChart(const OChart& chart, i32 width, i32 height);
bool WriteChart(const std::string& path, const OChart& chart);
