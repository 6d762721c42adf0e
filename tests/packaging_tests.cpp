// SPDX-License-Identifier: MIT
// The program's icon (its drawing, the ICO and ICNS encoders and the committed files) and its
// version records.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "packaging/icon/icns_file.h"
#include "packaging/icon/ico_file.h"
#include "packaging/icon/icon_art.h"

namespace rms::icon {
namespace {

QRgb qrgbOf(Colour c) {
  const Rgb rgb = rgbOf(c);
  return qRgb(rgb.r, rgb.g, rgb.b);
}

// Every pixel of `actual` (read by Qt) must have the palette colour of `expected`.
void expectSamePixels(const QImage& actual, const IconImage& expected) {
  ASSERT_EQ(actual.width(), expected.size);
  ASSERT_EQ(actual.height(), expected.size);
  int mismatches = 0;
  for (int y = 0; y < expected.size; ++y) {
    for (int x = 0; x < expected.size; ++x) {
      const QRgb got = actual.pixel(x, y);
      if (qAlpha(got) != 255 || (got & 0xFFFFFF) != (qrgbOf(expected.at(x, y)) & 0xFFFFFF)) {
        if (++mismatches <= 5) {
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") of " << expected.size << "x"
                        << expected.size << " is " << std::hex << got;
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// A test card that uses every colour and differs between neighbouring pixels, so that a
// swapped nibble, a flipped row or a wrong row stride shows.
IconImage testCard(int size) {
  IconImage img;
  img.size = size;
  img.pixels.resize(static_cast<std::size_t>(size * size));
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      img.set(x, y, static_cast<Colour>((x * 5 + y * 3 + size) % kPaletteSize));
    }
  }
  return img;
}

std::vector<QImage> decodeIco(const std::vector<std::uint8_t>& bytes) {
  QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ico");
  std::vector<QImage> images;
  for (int i = 0; i < reader.imageCount(); ++i) {
    reader.jumpToImage(i);
    images.push_back(reader.read().convertToFormat(QImage::Format_ARGB32));
  }
  return images;
}

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    v = v << 8 | b.at(at + static_cast<std::size_t>(i));
  }
  return v;
}

TEST(IcoFile, QtReadsBackEveryImageOfEverySize) {
  // Odd sizes leave half a byte and padding at the end of each row.
  const std::vector<int> sizes = {1, 3, 16, 31, 32, 48};
  std::vector<IconImage> images;
  for (int size : sizes) {
    images.push_back(testCard(size));
  }
  const std::vector<QImage> decoded = decodeIco(encodeIco(images));
  ASSERT_EQ(decoded.size(), images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "image " << i << ", size " << sizes[i]);
    expectSamePixels(decoded[i], images[i]);
  }
}

TEST(IcoFile, DirectoryDescribesImagesThatTileTheFile) {
  const std::vector<IconImage> images = {testCard(32), testCard(5), testCard(256)};
  const std::vector<std::uint8_t> file = encodeIco(images);
  ASSERT_EQ(le(file, 0, 2), 0u);
  ASSERT_EQ(le(file, 2, 2), 1u);
  ASSERT_EQ(le(file, 4, 2), images.size());

  std::size_t expectedOffset = 6 + 16 * images.size();
  for (std::size_t i = 0; i < images.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "entry " << i);
    const std::size_t entry = 6 + 16 * i;
    const int size = images[i].size;
    EXPECT_EQ(file.at(entry), size == 256 ? 0 : size);
    EXPECT_EQ(file.at(entry + 1), size == 256 ? 0 : size);
    EXPECT_EQ(file.at(entry + 2), 16);
    EXPECT_EQ(le(file, entry + 6, 2), 4u);
    const std::uint32_t length = le(file, entry + 8, 4);
    const std::uint32_t offset = le(file, entry + 12, 4);
    EXPECT_EQ(offset, expectedOffset);

    // The bitmap header agrees with the entry: height doubled for the mask, image size
    // counting the padded colour rows and mask rows.
    EXPECT_EQ(le(file, offset + 4, 4), static_cast<std::uint32_t>(size));
    EXPECT_EQ(le(file, offset + 8, 4), static_cast<std::uint32_t>(2 * size));
    const std::uint32_t colourRow = (static_cast<std::uint32_t>(size) * 4 + 31) / 32 * 4;
    const std::uint32_t maskRow = (static_cast<std::uint32_t>(size) + 31) / 32 * 4;
    EXPECT_EQ(le(file, offset + 20, 4), (colourRow + maskRow) * static_cast<std::uint32_t>(size));
    EXPECT_EQ(length, 40 + 64 + (colourRow + maskRow) * static_cast<std::uint32_t>(size));
    expectedOffset = offset + length;
  }
  EXPECT_EQ(expectedOffset, file.size());
}

TEST(IcoFile, RejectsWhatItCannotEncode) {
  IconImage notSquare = testCard(4);
  notSquare.pixels.pop_back();
  IconImage empty;
  const std::vector<std::pair<const char*, std::vector<IconImage>>> cases = {
      {"no image", {}},
      {"pixels missing", {notSquare}},
      {"size 0", {empty}},
      {"size 257", {testCard(257)}},
  };
  for (const auto& [name, images] : cases) {
    EXPECT_THROW(encodeIco(images), std::invalid_argument) << name;
  }
}

// What the drawing must show, whatever the pixel details: a grey frame around a black
// screen, a grid of three green lines each way dividing the screen into equal cells, and
// one connected white sine period running across the whole screen.
class IconDrawing : public testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    img_ = drawIcon(GetParam());
    g_ = screenGeometry(GetParam());
  }
  IconImage img_;
  ScreenGeometry g_{};
};

TEST_P(IconDrawing, FrameIsGreyWithADarkOutline) {
  const int last = img_.size - 1;
  const std::set<Colour> greys = {Colour::Silver, Colour::Gray, Colour::White};
  for (int y = 0; y <= last; ++y) {
    for (int x = 0; x <= last; ++x) {
      if (g_.contains(x, y)) {
        continue;
      }
      EXPECT_TRUE(greys.count(img_.at(x, y))) << x << ", " << y;
      if (x == 0 || y == 0 || x == last || y == last) {
        EXPECT_EQ(img_.at(x, y), Colour::Gray) << x << ", " << y;
      }
    }
  }
  // The screen stands inside the frame with a margin all round.
  EXPECT_GE(g_.left, 2);
  EXPECT_GE(g_.top, 2);
  EXPECT_LE(g_.right, last - 2);
  EXPECT_LE(g_.bottom, last - 2);
}

TEST_P(IconDrawing, ScreenHoldsOnlyBlackGreenAndWhite) {
  std::map<Colour, int> counts;
  for (int y = g_.top; y <= g_.bottom; ++y) {
    for (int x = g_.left; x <= g_.right; ++x) {
      ++counts[img_.at(x, y)];
    }
  }
  EXPECT_EQ(counts.size(), 3u);
  EXPECT_GT(counts[Colour::Black], counts[Colour::Green]);
  EXPECT_GT(counts[Colour::Green], 0);
  EXPECT_GT(counts[Colour::White], 0);
  const std::vector<std::pair<int, int>> corners = {
      {g_.left, g_.top}, {g_.right, g_.top}, {g_.left, g_.bottom}, {g_.right, g_.bottom}};
  for (const auto& [x, y] : corners) {
    EXPECT_EQ(img_.at(x, y), Colour::Black) << "corner " << x << ", " << y;
  }
}

// Positions, counted from the screen's edge, of the full-length lines where only green
// and white pixels occur; `along` reads the pixel at (line, i).
template <typename Pixel>
std::vector<int> gridLines(int length, Pixel along) {
  std::vector<int> lines;
  for (int line = 0; line < length; ++line) {
    bool allLine = true;
    bool anyGreen = false;
    for (int i = 0; i < length; ++i) {
      const Colour c = along(line, i);
      allLine = allLine && (c == Colour::Green || c == Colour::White);
      anyGreen = anyGreen || c == Colour::Green;
    }
    if (allLine && anyGreen) {
      lines.push_back(line);
    }
  }
  return lines;
}

TEST_P(IconDrawing, GridDividesTheScreenIntoFourEqualCellsEachWay) {
  const int width = g_.right - g_.left + 1;
  ASSERT_EQ(width, g_.bottom - g_.top + 1) << "the screen is square";
  const std::vector<int> columns =
      gridLines(width, [&](int line, int i) { return img_.at(g_.left + line, g_.top + i); });
  const std::vector<int> rows =
      gridLines(width, [&](int line, int i) { return img_.at(g_.left + i, g_.top + line); });
  const std::vector<std::pair<const char*, std::vector<int>>> directions = {{"columns", columns},
                                                                            {"rows", rows}};
  for (const auto& [name, lines] : directions) {
    SCOPED_TRACE(name);
    ASSERT_EQ(lines.size(), 3u);
    const int cell = lines[0];
    EXPECT_GE(cell, 2);
    EXPECT_EQ(lines[1] - lines[0] - 1, cell);
    EXPECT_EQ(lines[2] - lines[1] - 1, cell);
    EXPECT_EQ(width - 1 - lines[2], cell);
  }
}

TEST_P(IconDrawing, TraceIsOneConnectedSinePeriodAcrossTheScreen) {
  std::vector<std::pair<int, int>> trace;
  for (int y = g_.top; y <= g_.bottom; ++y) {
    for (int x = g_.left; x <= g_.right; ++x) {
      if (img_.at(x, y) == Colour::White) {
        trace.emplace_back(x, y);
      }
    }
  }
  ASSERT_FALSE(trace.empty());

  // Connected: a flood fill through the eight neighbours reaches every trace pixel.
  std::set<std::pair<int, int>> unvisited(trace.begin(), trace.end());
  std::vector<std::pair<int, int>> stack = {trace.front()};
  unvisited.erase(trace.front());
  while (!stack.empty()) {
    const auto [x, y] = stack.back();
    stack.pop_back();
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        if (unvisited.erase({x + dx, y + dy})) {
          stack.emplace_back(x + dx, y + dy);
        }
      }
    }
  }
  EXPECT_TRUE(unvisited.empty()) << unvisited.size() << " trace pixels not connected";

  // Every column of the screen has the trace, which starts and ends on the middle row,
  // rises in the left half, falls in the right half and never touches the top or bottom.
  const int middle = (g_.top + g_.bottom) / 2;
  const int centre = (g_.left + g_.right) / 2;
  for (int x = g_.left; x <= g_.right; ++x) {
    int highest = g_.bottom + 1;
    int lowest = g_.top - 1;
    for (const auto& [tx, ty] : trace) {
      if (tx == x) {
        highest = std::min(highest, ty);
        lowest = std::max(lowest, ty);
      }
    }
    ASSERT_LE(highest, g_.bottom) << "column " << x << " has no trace";
    EXPECT_GT(highest, g_.top) << "column " << x;
    EXPECT_LT(lowest, g_.bottom) << "column " << x;
    if (x == g_.left || x == g_.right) {
      EXPECT_TRUE(highest <= middle && lowest >= middle) << "column " << x;
    } else if (x < centre) {
      EXPECT_LE(highest, middle) << "column " << x;
    } else if (x > centre) {
      EXPECT_GE(lowest, middle) << "column " << x;
    }
  }
  const auto [top, bottom] = std::minmax_element(
      trace.begin(), trace.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
  EXPECT_GE(bottom->second - top->second, (g_.bottom - g_.top) / 2) << "amplitude too small";
}

INSTANTIATE_TEST_SUITE_P(Sizes, IconDrawing, testing::ValuesIn(kIconSizes));

// The committed icon files are what the drawing code makes today: the desktop's, then the
// web page's manifest icons.
TEST(CommittedIcons, PngFilesMatchTheDrawing) {
  std::vector<std::pair<std::string, IconImage>> files;
  for (int size : kIconSizes) {
    files.emplace_back("korvath-rms-" + std::to_string(size) + ".png", drawIcon(size));
  }
  for (int pixels : kWebIconPixels) {
    files.emplace_back("korvath-rms-" + std::to_string(pixels) + ".png", iconForPixels(pixels));
  }
  files.emplace_back("korvath-rms-maskable-512.png", maskableIcon(512));
  for (const auto& [name, drawing] : files) {
    const std::string path = RMS_SOURCE_DIR "/packaging/icons/" + name;
    SCOPED_TRACE(path);
    QImage png(QString::fromStdString(path));
    ASSERT_FALSE(png.isNull());
    EXPECT_LE(png.colorCount(), kPaletteSize) << "not a 16-colour image";
    expectSamePixels(png.convertToFormat(QImage::Format_ARGB32), drawing);
  }
}

// A maskable icon keeps its whole drawing inside the circle every crop keeps, on the case's
// grey.
TEST(WebIcons, MaskableDrawingLiesInTheSafeCircle) {
  const IconImage icon = maskableIcon(512);
  const double centre = 255.5;
  const double safe = 0.4 * icon.size;
  for (int y = 0; y < icon.size; ++y) {
    for (int x = 0; x < icon.size; ++x) {
      if (std::hypot(x - centre, y - centre) > safe) {
        ASSERT_EQ(icon.at(x, y), Colour::Silver) << x << ", " << y;
      }
    }
  }
  EXPECT_EQ(icon.at(256, 256), iconForPixels(256).at(128, 128));
}

TEST(CommittedIcons, IcoFileMatchesTheDrawing) {
  std::ifstream file(RMS_SOURCE_DIR "/packaging/icons/korvath-rms.ico", std::ios::binary);
  ASSERT_TRUE(file);
  const std::vector<std::uint8_t> committed((std::istreambuf_iterator<char>(file)),
                                            std::istreambuf_iterator<char>());
  std::vector<IconImage> images;
  for (int size : kIconSizes) {
    images.push_back(drawIcon(size));
  }
  EXPECT_TRUE(committed == encodeIco(images))
      << "packaging/icons/korvath-rms.ico is stale: build the target update-icons";
}

// The .icns file is a list of typed PNG entries whose lengths tile the file; each entry
// holds the drawing at its slot's size.
TEST(CommittedIcons, IcnsFileMatchesTheDrawing) {
  std::ifstream file(RMS_SOURCE_DIR "/packaging/icons/korvath-rms.icns", std::ios::binary);
  ASSERT_TRUE(file);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                        std::istreambuf_iterator<char>());
  const auto typeAt = [&](std::size_t at) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + 4));
  };
  const auto lengthAt = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      v = v << 8 | bytes.at(at + 4 + i);
    }
    return std::size_t{v};
  };
  ASSERT_GE(bytes.size(), 8u);
  ASSERT_EQ(typeAt(0), "icns");
  ASSERT_EQ(lengthAt(0), bytes.size());
  std::size_t at = 8;
  for (const IcnsSlot& slot : kIcnsSlots) {
    SCOPED_TRACE(std::string(slot.type));
    ASSERT_LE(at + 8, bytes.size());
    ASSERT_EQ(typeAt(at), slot.type);
    const std::size_t length = lengthAt(at);
    ASSERT_LE(at + length, bytes.size());
    const QImage png = QImage::fromData(bytes.data() + at + 8, static_cast<int>(length - 8), "PNG");
    expectSamePixels(png.convertToFormat(QImage::Format_ARGB32), iconForPixels(slot.pixels));
    at += length;
  }
  EXPECT_EQ(at, bytes.size());
}

QString readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    ADD_FAILURE() << "cannot read " << path.toStdString();
    return {};
  }
  return QString::fromUtf8(file.readAll());
}

// The version appears in the version record of the Windows executable, both as text and as
// numbers (1.00 is 1,0,0,0), and the record carries the icon.
TEST(VersionRecord, WindowsResourceCarriesVersionAndIcon) {
  const QString rc = readAll(QStringLiteral(RMS_BINARY_DIR "/packaging/korvath-rms.rc"));
  const QString version = QStringLiteral(RMS_VERSION);
  const QStringList numbers = version.split('.');
  ASSERT_EQ(numbers.size(), 2);
  const QString commas =
      QStringLiteral("%1,%2,0,0").arg(numbers[0].toInt()).arg(numbers[1].toInt());
  const std::vector<QString> expected = {
      "FILEVERSION " + commas + "\n",
      "PRODUCTVERSION " + commas + "\n",
      QStringLiteral("VALUE \"FileVersion\", \"%1\\0\"").arg(version),
      QStringLiteral("VALUE \"ProductVersion\", \"%1\\0\"").arg(version),
  };
  for (const QString& line : expected) {
    EXPECT_TRUE(rc.contains(line)) << line.toStdString();
  }
  const QRegularExpressionMatch icon =
      QRegularExpression(QStringLiteral("\\bICON \"([^\"]+)\"")).match(rc);
  ASSERT_TRUE(icon.hasMatch());
  EXPECT_TRUE(QFile::exists(icon.captured(1))) << icon.captured(1).toStdString();
}

// The macOS bundle record names the executable, the bundle, the version and an icon
// that is committed.
TEST(VersionRecord, MacBundleRecordCarriesVersionAndIcon) {
  const QString plist = readAll(QStringLiteral(RMS_BINARY_DIR "/packaging/Info.plist"));
  const auto value = [&](const char* key) {
    const QRegularExpression pattern(
        QStringLiteral("<key>%1</key>\\s*<string>([^<]*)</string>").arg(QLatin1String(key)));
    return pattern.match(plist).captured(1);
  };
  EXPECT_EQ(value("CFBundleExecutable"), "korvath-rms");
  EXPECT_EQ(value("CFBundleName"), "Korvath RMS");
  EXPECT_EQ(value("CFBundleIdentifier"), "invalid.example.korvath-rms");
  EXPECT_EQ(value("CFBundleShortVersionString"), RMS_VERSION);
  EXPECT_EQ(value("CFBundleVersion"), "1.0.0");
  EXPECT_EQ(value("CFBundlePackageType"), "APPL");
  EXPECT_TRUE(QFile::exists(RMS_SOURCE_DIR "/packaging/icons/" + value("CFBundleIconFile")));
  EXPECT_FALSE(plist.contains('@')) << "a variable was left unreplaced";
}

// A version bump needs a release entry in the AppStream data, newest first.
TEST(VersionRecord, AppStreamNewestReleaseIsTheProgramVersion) {
  QXmlStreamReader xml(
      readAll(QStringLiteral(RMS_SOURCE_DIR "/packaging/linux/" RMS_APP_ID ".metainfo.xml")));
  QString id;
  QString newest;
  while (!xml.atEnd() && newest.isEmpty()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) {
      continue;
    }
    if (xml.name() == QStringLiteral("id")) {
      id = xml.readElementText();
    } else if (xml.name() == QStringLiteral("release")) {
      newest = xml.attributes().value("version").toString();
    }
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(id, RMS_APP_ID);
  EXPECT_EQ(newest, RMS_VERSION);
}

// The manual page and the Debian changelog spell the version out, as their formats need:
// a version bump changes them too.
TEST(VersionRecord, ManualPageAndChangelogSayTheProgramVersion) {
  const QString version = QRegularExpression::escape(QStringLiteral(RMS_VERSION));
  const std::pair<const char*, QString> files[] = {
      {"/packaging/linux/korvath-rms.1",
       R"(\n\.TH KORVATH\\-RMS 1 \S+ "korvath\\-rms )" + version + R"(" )"},
      {"/packaging/debian/changelog", R"(^korvath-rms \()" + version + R"(\) )"},
  };
  for (const auto& [file, pattern] : files) {
    EXPECT_TRUE(
        QRegularExpression(pattern).match(readAll(RMS_SOURCE_DIR + QString(file))).hasMatch())
        << file << " does not match " << pattern.toStdString();
  }
}

}  // namespace
}  // namespace rms::icon
