// SPDX-License-Identifier: MIT
// The program's icon, drawn pixel by pixel in the standard 16-colour palette: an
// oscilloscope with a grey frame around a black screen, a green grid and a white sine trace.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace rms::icon {

struct Rgb {
  std::uint8_t r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The standard 16-colour palette, in its usual order.
enum class Colour : std::uint8_t {
  Black,
  Maroon,
  Green,
  Olive,
  Navy,
  Purple,
  Teal,
  Silver,
  Gray,
  Red,
  Lime,
  Yellow,
  Blue,
  Fuchsia,
  Aqua,
  White,
};
inline constexpr int kPaletteSize = 16;
extern const std::array<Rgb, kPaletteSize> kPalette;

inline Rgb rgbOf(Colour c) {
  return kPalette[static_cast<std::size_t>(c)];
}

// Where the screen lies in an icon of a given size (all bounds inclusive) and where its grid
// lines run. The screen is divided into four equal cells each way by three grid lines.
struct ScreenGeometry {
  int left, top, right, bottom;
  int cell;  // pixels between two grid lines
  bool isGridColumn(int x) const;
  bool isGridRow(int y) const;
  bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// A square image of palette colours, row by row from the top.
struct IconImage {
  int size = 0;
  std::vector<Colour> pixels;
  Colour at(int x, int y) const { return pixels[static_cast<std::size_t>(y * size + x)]; }
  void set(int x, int y, Colour c) { pixels[static_cast<std::size_t>(y * size + x)] = c; }
};

// The sizes the icon is drawn at.
inline constexpr std::array<int, 2> kIconSizes = {32, 16};

// Throws std::invalid_argument for a size other than those in kIconSizes.
ScreenGeometry screenGeometry(int size);
IconImage drawIcon(int size);

}  // namespace rms::icon
