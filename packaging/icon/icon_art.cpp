// SPDX-License-Identifier: MIT
#include "packaging/icon/icon_art.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <stdexcept>
#include <string>

namespace rms::icon {

const std::array<Rgb, kPaletteSize> kPalette = {{
    {0x00, 0x00, 0x00},
    {0x80, 0x00, 0x00},
    {0x00, 0x80, 0x00},
    {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80},
    {0x80, 0x00, 0x80},
    {0x00, 0x80, 0x80},
    {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80},
    {0xFF, 0x00, 0x00},
    {0x00, 0xFF, 0x00},
    {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF},
    {0xFF, 0x00, 0xFF},
    {0x00, 0xFF, 0xFF},
    {0xFF, 0xFF, 0xFF},
}};

bool ScreenGeometry::isGridColumn(int x) const {
  const int offset = x - left;
  return offset > 0 && x < right && offset % (cell + 1) == cell;
}

bool ScreenGeometry::isGridRow(int y) const {
  const int offset = y - top;
  return offset > 0 && y < bottom && offset % (cell + 1) == cell;
}

ScreenGeometry screenGeometry(int size) {
  // Four cells and three grid lines make the screen; the frame takes what is left, one
  // pixel more at the bottom and right, where its shadow falls.
  int cell = 0;
  int frame = 0;
  switch (size) {
    case 32:
      cell = 5;
      frame = 4;
      break;
    case 16:
      cell = 2;
      frame = 2;
      break;
    default:
      throw std::invalid_argument("no icon drawn at size " + std::to_string(size));
  }
  const int screen = 4 * cell + 3;
  return {frame, frame, frame + screen - 1, frame + screen - 1, cell};
}

namespace {

void fillRect(IconImage& img, int left, int top, int right, int bottom, Colour c) {
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      img.set(x, y, c);
    }
  }
}

// A raised grey case with a dark outline. At 32 pixels it has room for a light edge along
// the top and left and a shadow along the bottom and right inside the outline, and for a
// rim that sinks the screen into it.
bool hasBevels(int size) {
  return size >= 32;
}

void drawCase(IconImage& img) {
  const int last = img.size - 1;
  fillRect(img, 0, 0, last, last, Colour::Silver);
  if (hasBevels(img.size)) {
    for (int i = 1; i < last; ++i) {
      img.set(i, 1, Colour::White);
      img.set(1, i, Colour::White);
      img.set(i, last - 1, Colour::Gray);
      img.set(last - 1, i, Colour::Gray);
    }
  }
  for (int i = 0; i <= last; ++i) {
    img.set(i, 0, Colour::Gray);
    img.set(0, i, Colour::Gray);
    img.set(i, last, Colour::Gray);
    img.set(last, i, Colour::Gray);
  }
}

// The screen: black, with the grid in green.
void drawScreen(IconImage& img, const ScreenGeometry& g) {
  if (hasBevels(img.size)) {
    for (int x = g.left - 1; x <= g.right + 1; ++x) {
      img.set(x, g.top - 1, Colour::Gray);
      img.set(x, g.bottom + 1, Colour::White);
    }
    for (int y = g.top - 1; y <= g.bottom + 1; ++y) {
      img.set(g.left - 1, y, Colour::Gray);
      img.set(g.right + 1, y, Colour::White);
    }
  }

  fillRect(img, g.left, g.top, g.right, g.bottom, Colour::Black);
  for (int y = g.top; y <= g.bottom; ++y) {
    for (int x = g.left; x <= g.right; ++x) {
      if (g.isGridColumn(x) || g.isGridRow(y)) {
        img.set(x, y, Colour::Green);
      }
    }
  }
}

// One full period of a sine across the screen, drawn as a connected line: where the curve
// moves by more than a pixel between two columns, each of the two columns fills half of the
// gap towards the other.
void drawTrace(IconImage& img, const ScreenGeometry& g) {
  const int width = g.right - g.left + 1;
  const double middle = (g.top + g.bottom) / 2.0;
  const double amplitude = (g.bottom - g.top) / 2.0 - g.cell / 2.0;
  std::vector<int> ys(static_cast<std::size_t>(width));
  for (int i = 0; i < width; ++i) {
    const double phase = 2.0 * std::numbers::pi * i / (width - 1);
    ys[static_cast<std::size_t>(i)] =
        static_cast<int>(std::lround(middle - amplitude * std::sin(phase)));
  }
  auto fillToward = [&](int column, int from, int to, int count) {
    const int step = to > from ? 1 : -1;
    for (int k = 1; k <= count; ++k) {
      img.set(g.left + column, from + k * step, Colour::White);
    }
  };
  for (int i = 0; i < width; ++i) {
    const int y = ys[static_cast<std::size_t>(i)];
    img.set(g.left + i, y, Colour::White);
    if (i + 1 < width) {
      const int next = ys[static_cast<std::size_t>(i + 1)];
      const int gap = std::abs(next - y) - 1;
      if (gap > 0) {
        fillToward(i, y, next, (gap + 1) / 2);
        fillToward(i + 1, next, y, gap / 2);
      }
    }
  }
}

}  // namespace

IconImage drawIcon(int size) {
  const ScreenGeometry g = screenGeometry(size);
  IconImage img;
  img.size = size;
  img.pixels.assign(static_cast<std::size_t>(size * size), Colour::Black);
  drawCase(img);
  drawScreen(img, g);
  drawTrace(img, g);
  return img;
}

}  // namespace rms::icon
