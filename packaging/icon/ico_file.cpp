// SPDX-License-Identifier: MIT
#include "packaging/icon/ico_file.h"

#include <stdexcept>

namespace rms::icon {

namespace {

constexpr std::uint32_t kDirectorySize = 6;
constexpr std::uint32_t kEntrySize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBitsPerPixel = 4;

// Bitmap rows are padded to whole 32-bit words.
std::uint32_t rowBytes(std::uint32_t width, std::uint32_t bitsPerPixel) {
  return (width * bitsPerPixel + 31) / 32 * 4;
}

class Writer {
 public:
  explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}
  void u8(std::uint32_t v) { out_.push_back(static_cast<std::uint8_t>(v)); }
  void u16(std::uint32_t v) {
    u8(v & 0xFF);
    u8((v >> 8) & 0xFF);
  }
  void u32(std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  }

 private:
  std::vector<std::uint8_t>& out_;
};

std::uint32_t imageBytes(std::uint32_t size) {
  const std::uint32_t colours = kInfoHeaderSize + 4 * kPaletteSize;
  return colours + (rowBytes(size, kBitsPerPixel) + rowBytes(size, 1)) * size;
}

void writeImage(Writer& w, const IconImage& img) {
  const auto size = static_cast<std::uint32_t>(img.size);
  const std::uint32_t xorRow = rowBytes(size, kBitsPerPixel);
  const std::uint32_t andRow = rowBytes(size, 1);

  // BITMAPINFOHEADER; the height counts the colour bitmap and the mask together.
  w.u32(kInfoHeaderSize);
  w.u32(size);
  w.u32(2 * size);
  w.u16(1);
  w.u16(kBitsPerPixel);
  w.u32(0);  // no compression
  w.u32((xorRow + andRow) * size);
  w.u32(0);
  w.u32(0);
  w.u32(kPaletteSize);
  w.u32(0);

  for (const Rgb& c : kPalette) {
    w.u8(c.b);
    w.u8(c.g);
    w.u8(c.r);
    w.u8(0);
  }

  // Colour bitmap, bottom row first, two pixels a byte with the left one in the high nibble.
  for (int y = img.size - 1; y >= 0; --y) {
    std::uint32_t written = 0;
    for (int x = 0; x < img.size; x += 2) {
      const auto high = static_cast<std::uint32_t>(img.at(x, y));
      const auto low = x + 1 < img.size ? static_cast<std::uint32_t>(img.at(x + 1, y)) : 0u;
      w.u8(high << 4 | low);
      ++written;
    }
    for (; written < xorRow; ++written) {
      w.u8(0);
    }
  }
  // Mask, bottom row first: every bit clear, so every pixel is opaque.
  for (std::uint32_t i = 0; i < andRow * size; ++i) {
    w.u8(0);
  }
}

}  // namespace

std::vector<std::uint8_t> encodeIco(std::span<const IconImage> images) {
  if (images.empty()) {
    throw std::invalid_argument("an icon file needs at least one image");
  }
  for (const IconImage& img : images) {
    if (img.size < 1 || img.size > 256 ||
        img.pixels.size() != static_cast<std::size_t>(img.size) * img.size) {
      throw std::invalid_argument("icon images must be square, 1 to 256 pixels");
    }
  }

  std::vector<std::uint8_t> out;
  Writer w(out);
  const auto count = static_cast<std::uint32_t>(images.size());
  w.u16(0);  // reserved
  w.u16(1);  // icon, not cursor
  w.u16(count);

  std::uint32_t offset = kDirectorySize + kEntrySize * count;
  for (const IconImage& img : images) {
    const auto size = static_cast<std::uint32_t>(img.size);
    w.u8(size == 256 ? 0 : size);  // 0 stands for 256
    w.u8(size == 256 ? 0 : size);
    w.u8(kPaletteSize);
    w.u8(0);
    w.u16(1);  // planes
    w.u16(kBitsPerPixel);
    w.u32(imageBytes(size));
    w.u32(offset);
    offset += imageBytes(size);
  }
  for (const IconImage& img : images) {
    writeImage(w, img);
  }
  return out;
}

}  // namespace rms::icon
