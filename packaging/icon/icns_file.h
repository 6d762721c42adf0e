// SPDX-License-Identifier: MIT
// macOS icon (.icns) files: a typed list of PNG images, one per slot of the icon family.
// The drawing exists at 16 and 32 pixels only; the larger slots hold the 32-pixel drawing
// enlarged pixel by pixel, which keeps its hard edges in the Dock and the Finder.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "packaging/icon/icon_art.h"

namespace rms::icon {

struct IcnsSlot {
  std::string_view type;  // four characters
  int pixels;
};

// The slots written, in file order: 16 and 32 points at one and two pixels a point, and
// 128, 256 and 512 points at one and two.
inline constexpr std::array<IcnsSlot, 9> kIcnsSlots = {{
    {"icp4", 16},
    {"icp5", 32},
    {"ic11", 32},
    {"ic12", 64},
    {"ic07", 128},
    {"ic13", 256},
    {"ic08", 256},
    {"ic14", 512},
    {"ic09", 512},
}};

// The web page's manifest icons, in pixels; the largest is also drawn maskable.
inline constexpr std::array<int, 2> kWebIconPixels = {192, 512};

// The icon for a slot: the largest drawn size that divides `pixels`, each pixel repeated
// into a square. Throws std::invalid_argument when no drawn size divides it.
IconImage iconForPixels(int pixels);

// The icon for a platform that crops it to a shape of its own (a web app's maskable icon):
// iconForPixels(pixels / 2) in the middle of a case-grey square, so that the whole drawing
// lies inside the circle of 80 % of the width that every crop keeps.
IconImage maskableIcon(int pixels);

struct IcnsImage {
  std::string_view type;  // four characters
  std::vector<std::uint8_t> png;
};

// The images go into the file in the order given. Throws std::invalid_argument for an empty
// list or a type that is not four characters long.
std::vector<std::uint8_t> encodeIcns(std::span<const IcnsImage> images);

}  // namespace rms::icon
