// Writes the program's icon files into a folder: korvath-rms-32.png, korvath-rms-16.png
// (16-colour PNGs for the desktop and the window) and korvath-rms.ico (both sizes, for the
// Windows executable).
#include <QColor>
#include <QImage>
#include <QString>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

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

  const std::vector<std::uint8_t> ico = rms::icon::encodeIco(images);
  const std::string path = folder + "/korvath-rms.ico";
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(ico.data()), static_cast<std::streamsize>(ico.size()));
  file.close();
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
