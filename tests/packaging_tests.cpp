// SPDX-License-Identifier: MIT
// The program's icon (its two committed images and the files made from them) and its
// version records.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "rms/identity.h"

namespace rms::packaging {
namespace {

// The standard 16-colour palette; the picture uses five of them.
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kGreen = 0xFF008000;
constexpr QRgb kSilver = 0xFFC0C0C0;
constexpr QRgb kGray = 0xFF808080;
constexpr QRgb kWhite = 0xFFFFFFFF;
const std::set<QRgb> kPalette = {
    kBlack,     kWhite,     kGreen,     kSilver,    kGray,      0xFF800000, 0xFF808000, 0xFF000080,
    0xFF800080, 0xFF008080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF};

QImage readImage(const QString& path) {
  QImage image(path);
  EXPECT_FALSE(image.isNull()) << "cannot read " << path.toStdString();
  return image.convertToFormat(QImage::Format_ARGB32);
}

QImage picture(int size) {
  return readImage(
      QStringLiteral(RMS_SOURCE_DIR "/packaging/icons/" RMS_PROGRAM "-%1.png").arg(size));
}

// Where the screen lies (bounds inclusive): the box around the black and green pixels.
struct Screen {
  int left, top, right, bottom;
  bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

Screen screenOf(const QImage& img) {
  Screen s{img.width(), img.height(), -1, -1};
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      if (img.pixel(x, y) == kBlack || img.pixel(x, y) == kGreen) {
        s = {std::min(s.left, x), std::min(s.top, y), std::max(s.right, x), std::max(s.bottom, y)};
      }
    }
  }
  return s;
}

// What the picture must show, whatever the pixel details: a grey frame around a black
// screen, a grid of three green lines each way dividing the screen into equal cells, and
// one connected white sine period running across the whole screen.
class IconPicture : public testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    img_ = picture(GetParam());
    ASSERT_EQ(img_.width(), GetParam());
    ASSERT_EQ(img_.height(), GetParam());
    g_ = screenOf(img_);
  }
  QRgb at(int x, int y) const { return img_.pixel(x, y); }
  QImage img_;
  Screen g_{};
};

TEST_P(IconPicture, IsOpaqueInTheSixteenColours) {
  for (int y = 0; y < img_.height(); ++y) {
    for (int x = 0; x < img_.width(); ++x) {
      ASSERT_TRUE(kPalette.count(at(x, y))) << x << ", " << y << ": " << std::hex << at(x, y);
    }
  }
}

TEST_P(IconPicture, FrameIsGreyWithADarkOutline) {
  const int last = img_.width() - 1;
  const std::set<QRgb> greys = {kSilver, kGray, kWhite};
  for (int y = 0; y <= last; ++y) {
    for (int x = 0; x <= last; ++x) {
      if (g_.contains(x, y)) {
        continue;
      }
      EXPECT_TRUE(greys.count(at(x, y))) << x << ", " << y;
      if (x == 0 || y == 0 || x == last || y == last) {
        EXPECT_EQ(at(x, y), kGray) << x << ", " << y;
      }
    }
  }
  // The screen stands inside the frame with a margin all round.
  EXPECT_GE(g_.left, 2);
  EXPECT_GE(g_.top, 2);
  EXPECT_LE(g_.right, last - 2);
  EXPECT_LE(g_.bottom, last - 2);
}

TEST_P(IconPicture, ScreenHoldsOnlyBlackGreenAndWhite) {
  std::map<QRgb, int> counts;
  for (int y = g_.top; y <= g_.bottom; ++y) {
    for (int x = g_.left; x <= g_.right; ++x) {
      ++counts[at(x, y)];
    }
  }
  EXPECT_EQ(counts.size(), 3u);
  EXPECT_GT(counts[kBlack], counts[kGreen]);
  EXPECT_GT(counts[kGreen], 0);
  EXPECT_GT(counts[kWhite], 0);
  const std::vector<std::pair<int, int>> corners = {
      {g_.left, g_.top}, {g_.right, g_.top}, {g_.left, g_.bottom}, {g_.right, g_.bottom}};
  for (const auto& [x, y] : corners) {
    EXPECT_EQ(at(x, y), kBlack) << "corner " << x << ", " << y;
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
      const QRgb c = along(line, i);
      allLine = allLine && (c == kGreen || c == kWhite);
      anyGreen = anyGreen || c == kGreen;
    }
    if (allLine && anyGreen) {
      lines.push_back(line);
    }
  }
  return lines;
}

TEST_P(IconPicture, GridDividesTheScreenIntoFourEqualCellsEachWay) {
  const int width = g_.right - g_.left + 1;
  ASSERT_EQ(width, g_.bottom - g_.top + 1) << "the screen is square";
  const std::vector<int> columns =
      gridLines(width, [&](int line, int i) { return at(g_.left + line, g_.top + i); });
  const std::vector<int> rows =
      gridLines(width, [&](int line, int i) { return at(g_.left + i, g_.top + line); });
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

TEST_P(IconPicture, TraceIsOneConnectedSinePeriodAcrossTheScreen) {
  std::vector<std::pair<int, int>> trace;
  for (int y = g_.top; y <= g_.bottom; ++y) {
    for (int x = g_.left; x <= g_.right; ++x) {
      if (at(x, y) == kWhite) {
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

INSTANTIATE_TEST_SUITE_P(Sizes, IconPicture, testing::Values(32, 16));

// Counts the pixels of `shown` that differ from the picture enlarged to `pixels` and centred
// on the case's grey; reports the first few.
int differencesFromPicture(const QImage& shown, int pixels) {
  const QImage source = picture(pixels % 32 == 0 ? 32 : 16);
  const int scale = pixels / source.width();
  const int offset = (shown.width() - pixels) / 2;
  int differences = 0;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      const int px = x - offset;
      const int py = y - offset;
      const bool inPicture = px >= 0 && py >= 0 && px < pixels && py < pixels;
      const QRgb want = inPicture ? source.pixel(px / scale, py / scale) : kSilver;
      if (shown.pixel(x, y) != want && ++differences <= 3) {
        ADD_FAILURE() << "pixel " << x << ", " << y << " is " << std::hex << shown.pixel(x, y)
                      << ", not " << want;
      }
    }
  }
  return differences;
}

// What a user sees: each icon of the desktop, the page and the home screen is the picture at
// its size, each of its pixels a square of the image it is a whole multiple of; where a
// platform crops the icon to a shape of its own, the picture stands on the case's grey.
struct MadeIcon {
  const char* path;
  int size;
  int pixels;  // of the picture in it
};
constexpr MadeIcon kMadeIcons[] = {
    {RMS_BINARY_DIR "/packaging/icons/" RMS_PROGRAM "-192.png", 192, 192},
    {RMS_BINARY_DIR "/packaging/icons/" RMS_PROGRAM "-512.png", 512, 512},
    {RMS_SITE_ICONS "/icon.png", 32, 32},
    {RMS_SITE_ICONS "/icon-192.png", 192, 192},
    {RMS_SITE_ICONS "/icon-512.png", 512, 512},
    {RMS_SITE_ICONS "/icon-maskable-512.png", 512, 256},
    {RMS_SITE_ICONS "/apple-touch-icon.png", 180, 160},
};

TEST(MadeIcons, AreThePictureAtTheirSizes) {
  for (const MadeIcon& icon : kMadeIcons) {
    SCOPED_TRACE(icon.path);
    const QImage shown = readImage(QString::fromUtf8(icon.path));
    ASSERT_EQ(shown.size(), QSize(icon.size, icon.size));
    EXPECT_EQ(differencesFromPicture(shown, icon.pixels), 0);
  }
}

// A maskable icon keeps every pixel of the picture inside the circle every crop keeps.
TEST(MadeIcons, MaskablePictureLiesInTheSafeCircle) {
  const QImage icon = readImage(QStringLiteral(RMS_SITE_ICONS "/icon-maskable-512.png"));
  const double centre = (icon.width() - 1) / 2.0;
  const double safe = 0.4 * icon.width();
  for (int y = 0; y < icon.height(); ++y) {
    for (int x = 0; x < icon.width(); ++x) {
      if (std::hypot(x - centre, y - centre) > safe) {
        ASSERT_EQ(icon.pixel(x, y), kSilver) << x << ", " << y;
      }
    }
  }
}

// The Windows icon file, which the program's and the installer's resources carry (the
// Windows checks compare them with it), holds the two images pixel for pixel, largest first.
TEST(MadeIcons, WindowsIconHoldsBothImages) {
  QImageReader reader(QStringLiteral(RMS_BINARY_DIR "/packaging/icons/" RMS_PROGRAM ".ico"), "ico");
  ASSERT_EQ(reader.imageCount(), 2) << reader.errorString().toStdString();
  const std::pair<int, int> images[] = {{0, 32}, {1, 16}};
  for (const auto& [index, size] : images) {
    SCOPED_TRACE(size);
    ASSERT_TRUE(reader.jumpToImage(index));
    const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(size, size));
    EXPECT_EQ(differencesFromPicture(image, size), 0);
  }
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

// The macOS bundle record, as the bundle reads it: the executable and the names are the
// program's, the identifier is the AppStream id in the characters a bundle id allows, the
// version strings are the program's version (CFBundleVersion in integers), the short name
// fits the menu bar's 15 characters, and the icon it names is a macOS icon file of the build.
TEST(VersionRecord, MacBundleRecordAgreesWithTheIdentity) {
  const QString plist = readAll(QStringLiteral(RMS_BINARY_DIR "/packaging/Info.plist"));
  const auto value = [&](const char* key) {
    const QRegularExpression pattern(
        QStringLiteral("<key>%1</key>\\s*<string>([^<]*)</string>").arg(QLatin1String(key)));
    return pattern.match(plist).captured(1);
  };
  EXPECT_EQ(value("CFBundleExecutable"), RMS_PROGRAM);
  EXPECT_EQ(value("CFBundleDisplayName"), RMS_PRODUCT);
  const QString name = value("CFBundleName");
  EXPECT_TRUE(!name.isEmpty() && name.size() <= 15) << name.toStdString();
  const QString id = value("CFBundleIdentifier");
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Za-z0-9.-]+$")).match(id).hasMatch());
  EXPECT_EQ(QString(id).replace('-', '_'), RMS_APP_ID);
  EXPECT_EQ(value("CFBundleShortVersionString"), RMS_VERSION);
  const QStringList version = QStringLiteral(RMS_VERSION).split('.');
  const QStringList bundle = value("CFBundleVersion").split('.');
  ASSERT_EQ(bundle.size(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(bundle[i], QString::number(i < version.size() ? version[i].toInt() : 0));
  }
  QFile icon(RMS_BINARY_DIR "/packaging/icons/" + value("CFBundleIconFile"));
  ASSERT_TRUE(icon.open(QIODevice::ReadOnly)) << icon.fileName().toStdString();
  EXPECT_EQ(icon.read(4), "icns");
  EXPECT_FALSE(plist.contains('@')) << "a variable was left unreplaced";
}

// A version bump needs a release entry in the AppStream data, newest first.
TEST(VersionRecord, AppStreamNewestReleaseIsTheProgramVersion) {
  QXmlStreamReader xml(
      readAll(QStringLiteral(RMS_BINARY_DIR "/packaging/" RMS_APP_ID ".metainfo.xml")));
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
}  // namespace rms::packaging
