// SPDX-License-Identifier: MIT
// Writes the program's icon files into a folder: korvath-rms-32.png, korvath-rms-16.png
// (16-colour PNGs for the desktop and the window), korvath-rms-192.png, korvath-rms-512.png
// and korvath-rms-maskable-512.png (the web page's manifest), korvath-rms.ico (both sizes,
// for the Windows executable) and korvath-rms.icns (for the macOS bundle).
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "packaging/icon/icns_file.h"
#include "packaging/icon/ico_file.h"
#include "packaging/icon/icon_art.h"

namespace {

QImage toQImage(const rms::icon::IconImage& img) {
  QImage out(img.size, img.size, QImage::Format_Indexed8);
  QList<QRgb> table;
  for (const rms::icon::Rgb& c : rms::icon::kPalette) {
    table.append(qRgb(c.r, c.g, c.b));
  }
  out.setColorTable(table);
  for (int y = 0; y < img.size; ++y) {
    for (int x = 0; x < img.size; ++x) {
      out.setPixel(x, y, static_cast<uint>(img.at(x, y)));
    }
  }
  return out;
}

std::vector<std::uint8_t> toPng(const rms::icon::IconImage& img) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  toQImage(img).save(&buffer, "PNG");
  return {bytes.begin(), bytes.end()};
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
  }
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];

  std::vector<rms::icon::IconImage> images;
  for (int size : rms::icon::kIconSizes) {
    images.push_back(rms::icon::drawIcon(size));
    const std::string path = folder + "/korvath-rms-" + std::to_string(size) + ".png";
    if (!toQImage(images.back()).save(QString::fromStdString(path), "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }

  std::vector<rms::icon::IcnsImage> icns;
  for (const rms::icon::IcnsSlot& slot : rms::icon::kIcnsSlots) {
    icns.push_back({slot.type, toPng(rms::icon::iconForPixels(slot.pixels))});
  }
  // The web page's manifest icons.
  for (const int pixels : rms::icon::kWebIconPixels) {
    const std::string path = folder + "/korvath-rms-" + std::to_string(pixels) + ".png";
    if (!writeFile(path, toPng(rms::icon::iconForPixels(pixels)))) {
      return 1;
    }
  }
  const int maskable = rms::icon::kWebIconPixels.back();
  if (!writeFile(folder + "/korvath-rms-maskable-" + std::to_string(maskable) + ".png",
                 toPng(rms::icon::maskableIcon(maskable)))) {
    return 1;
  }

  const bool written = writeFile(folder + "/korvath-rms.ico", rms::icon::encodeIco(images)) &&
                       writeFile(folder + "/korvath-rms.icns", rms::icon::encodeIcns(icns));
  return written ? 0 : 1;
}
