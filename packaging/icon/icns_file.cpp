// SPDX-License-Identifier: MIT
#include "packaging/icon/icns_file.h"

#include <stdexcept>
#include <string>

namespace rms::icon {

namespace {

constexpr std::uint32_t kHeaderSize = 8;  // type and length, before every entry and the file

void putType(std::vector<std::uint8_t>& out, std::string_view type) {
  out.insert(out.end(), type.begin(), type.end());
}

// Lengths are big-endian and count their own eight-byte header.
void putLength(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.push_back(static_cast<std::uint8_t>(v >> shift));
  }
}

}  // namespace

IconImage iconForPixels(int pixels) {
  int drawn = 0;
  for (int size : kIconSizes) {
    if (pixels > 0 && pixels % size == 0 && size > drawn) {
      drawn = size;
    }
  }
  if (drawn == 0) {
    throw std::invalid_argument("no drawn icon size divides " + std::to_string(pixels));
  }
  const IconImage small = drawIcon(drawn);
  const int factor = pixels / drawn;
  IconImage big;
  big.size = pixels;
  big.pixels.resize(static_cast<std::size_t>(pixels) * pixels);
  for (int y = 0; y < pixels; ++y) {
    for (int x = 0; x < pixels; ++x) {
      big.set(x, y, small.at(x / factor, y / factor));
    }
  }
  return big;
}

IconImage maskableIcon(int pixels) {
  const IconImage art = iconForPixels(pixels / 2);
  const int margin = (pixels - art.size) / 2;
  IconImage out{pixels,
                std::vector<Colour>(static_cast<std::size_t>(pixels) * pixels, Colour::Silver)};
  for (int y = 0; y < art.size; ++y) {
    for (int x = 0; x < art.size; ++x) {
      out.set(margin + x, margin + y, art.at(x, y));
    }
  }
  return out;
}

std::vector<std::uint8_t> encodeIcns(std::span<const IcnsImage> images) {
  if (images.empty()) {
    throw std::invalid_argument("an icon file needs at least one image");
  }
  std::uint32_t total = kHeaderSize;
  for (const IcnsImage& image : images) {
    if (image.type.size() != 4) {
      throw std::invalid_argument("icns entry types are four characters long");
    }
    total += kHeaderSize + static_cast<std::uint32_t>(image.png.size());
  }
  std::vector<std::uint8_t> out;
  out.reserve(total);
  putType(out, "icns");
  putLength(out, total);
  for (const IcnsImage& image : images) {
    putType(out, image.type);
    putLength(out, kHeaderSize + static_cast<std::uint32_t>(image.png.size()));
    out.insert(out.end(), image.png.begin(), image.png.end());
  }
  return out;
}

}  // namespace rms::icon
