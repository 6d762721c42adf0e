#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "runtime/failure.h"
#include "runtime/fake_services.h"
#include "runtime/qt/qt_services.h"
#include "runtime/qt/startup.h"
#include "window/calculator.h"
#include "window/layout.h"
#include "window/main_window.h"
#include "window/twips.h"

namespace rms {
namespace {

QApplication& application() {
  static int argc = 1;
  static char name[] = "window_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* created = new QApplication(argc, argv);
    // Closing a window must not end the tests' event loops; only endProgram may.
    QApplication::setQuitOnLastWindowClosed(false);
    return created;
  }();
  return *app;
}

struct ShownMessage {
  QString title;
  QString text;
  QMessageBox::Icon icon;
  QList<QAbstractButton*> buttons;
  QMessageBox::StandardButtons standardButtons;
  QWidget* parent;
  Qt::TextFormat format;
  QString tBox;  // the t box while the message was up
};

// The real window, the real services and the calculator, wired as the program wires
// them; message boxes are recorded instead of waiting for a user.
class WindowTest : public testing::Test {
 protected:
  WindowTest() {
    QObject::connect(window.calculateButton(), &QPushButton::clicked, &window,
                     [this] { calculator.Command1_Click(); });
    services.setPresenter([this](QMessageBox& box) {
      messages.push_back({box.windowTitle(), box.text(), box.icon(), box.buttons(),
                          box.standardButtons(), box.parentWidget(), box.textFormat(),
                          this->box("t")->text()});
    });
  }

  void showActive() {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  template <typename W = QWidget>
  W* child(const QString& name) const {
    const auto found = window.findChildren<W*>(name, Qt::FindDirectChildrenOnly);
    return found.size() == 1 ? found.front() : nullptr;
  }
  QLineEdit* box(const QString& name) const { return child<QLineEdit>(name); }
  QStringList results() const {
    QStringList texts;
    for (const char* name :
         {"Text6(0)", "Text6(1)", "Text6(3)", "Text6(4)", "Text6(5)", "Text6(6)"}) {
      texts << box(QString::fromLatin1(name))->text();
    }
    return texts;
  }
  void press() { QTest::mouseClick(window.calculateButton(), Qt::LeftButton); }

  QApplication& app = application();  // before any widget
  MainWindow window;
  QtServices services{window};
  Calculator calculator{services};
  std::vector<ShownMessage> messages;
};

const QStringList kSixEmpty(6, QString());

TEST_F(WindowTest, OpensWithTheDesignedTextsAndTheFocusInThePeriodBox) {
  showActive();
  EXPECT_EQ(window.windowTitle(), "Korvath RMS calculator by Tandrell");
  EXPECT_EQ(window.size(), QSize(693, 375));
  const std::map<QString, QString> initial = {
      {"t", "0.5"}, {"P", "1"}, {"Ip", "1"}, {"Ia", ".5"}, {"Ib", "1"}};
  for (const auto& [name, text] : initial) {
    ASSERT_NE(box(name), nullptr) << name.toStdString();
    EXPECT_EQ(box(name)->text(), text) << name.toStdString();
  }
  EXPECT_EQ(results(), kSixEmpty);
  EXPECT_EQ(QApplication::focusWidget(), box("P"));
  for (QLineEdit* edit : window.findChildren<QLineEdit*>()) {
    EXPECT_FALSE(edit->isReadOnly()) << edit->objectName().toStdString();
    EXPECT_EQ(edit->maxLength(), std::numeric_limits<int>::max());
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(WindowTest, TabAndShiftTabCycleThroughTheBoxesAndTheButton) {
  showActive();
  const QStringList order = {"P",        "t",        "Ia",       "Ib",       "Ip",
                             "Text6(0)", "Text6(1)", "Text6(3)", "Text6(4)", "Text6(5)",
                             "Text6(6)", "Command1", "P"};
  for (qsizetype i = 1; i < order.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), order[i])
        << "Tab from " << order[i - 1].toStdString();
  }
  for (qsizetype i = order.size() - 2; i >= 0; --i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), order[i])
        << "Shift+Tab from " << order[i + 1].toStdString();
  }
  for (QLabel* label : window.findChildren<QLabel*>()) {
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << label->objectName().toStdString();
  }
}

TEST_F(WindowTest, EveryControlStandsWhereTheTablePutsIt) {
  int labels = 0, boxes = 0, buttons = 0;
  for (const ControlRow& row : kLayout) {
    const QString name = QString::fromStdString(objectNameOf(row));
    QWidget* widget = child(name);
    ASSERT_NE(widget, nullptr) << "missing or duplicated: " << name.toStdString();
    EXPECT_EQ(widget->geometry(), toPixels(row.rect)) << name.toStdString();
    switch (row.kind) {
      case ControlKind::Label:
        ++labels;
        ASSERT_NE(qobject_cast<QLabel*>(widget), nullptr) << name.toStdString();
        EXPECT_EQ(qobject_cast<QLabel*>(widget)->text().toStdString(), row.text);
        break;
      case ControlKind::TextBox:
        ++boxes;
        ASSERT_NE(qobject_cast<QLineEdit*>(widget), nullptr) << name.toStdString();
        EXPECT_EQ(qobject_cast<QLineEdit*>(widget)->text().toStdString(), row.text);
        break;
      case ControlKind::Button:
        ++buttons;
        ASSERT_EQ(widget, window.calculateButton());
        EXPECT_EQ(window.calculateButton()->text(), "Calculate");
        break;
    }
  }
  EXPECT_EQ(labels, 28);
  EXPECT_EQ(boxes, 11);
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(window.findChildren<QWidget*>().size(), 40);

  // A few rows against the design in twips, written out, so a wrong row is caught.
  const std::map<QString, QRect> designed = {
      {"Text6(6)", QRect(7080 / 15, 3960 / 15, 2655 / 15, 285 / 15)},
      {"Label14(5)", QRect(2400 / 15, 3720 / 15, 4335 / 15, 255 / 15)},
      {"Label20(3)", QRect(7080 / 15, 1560 / 15, 2655 / 15, 255 / 15)},
      {"Command1", QRect(7680 / 15, 4680 / 15, 1455 / 15, 375 / 15)},
      {"P", QRect(3000 / 15, 5040 / 15, 855 / 15, 285 / 15)},
      {"Label16", QRect(2640 / 15, 4680 / 15, 375 / 15, 255 / 15)},
      {"Label4", QRect(2040 / 15, 2160 / 15, 255 / 15, 255 / 15)},
      {"Label1", QRect(120 / 15, 5040 / 15, 375 / 15, 375 / 15)},
      {"Label12", QRect(720 / 15, 4920 / 15, 855 / 15, 255 / 15)},
  };
  for (const auto& [name, rect] : designed) {
    ASSERT_NE(child(name), nullptr) << name.toStdString();
    EXPECT_EQ(child(name)->geometry(), rect) << name.toStdString();
  }
}

TEST_F(WindowTest, TitlesAndLegendAreCentredAndOnlyTheLegendHasItsOwnFont) {
  const QStringList centred = {"Label20(0)", "Label20(1)", "Label20(3)", "Label20(4)",
                               "Label20(5)", "Label20(6)", "Label1",     "Label2"};
  for (QLabel* label : window.findChildren<QLabel*>()) {
    const QString name = label->objectName();
    const bool legend = name == "Label1" || name == "Label2";
    EXPECT_EQ(bool(label->alignment() & Qt::AlignHCenter), centred.contains(name))
        << name.toStdString();
    EXPECT_EQ(label->frameShape(), QFrame::NoFrame) << name.toStdString();
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), legend ? 9.75 : 8.0) << name.toStdString();
    EXPECT_EQ(label->font().weight(), QFont::Normal) << name.toStdString();
  }
}

TEST_F(WindowTest, NothingMovesWhenTheWindowIsResized) {
  showActive();
  std::map<QString, QRect> before;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    before[w->objectName()] = w->geometry();
  }
  window.resize(900, 600);
  QApplication::processEvents();
  EXPECT_EQ(window.size(), QSize(693, 375));
  window.resize(300, 200);
  QApplication::processEvents();
  EXPECT_EQ(window.size(), QSize(693, 375));
  for (QWidget* w : window.findChildren<QWidget*>()) {
    EXPECT_EQ(w->geometry(), before[w->objectName()]) << w->objectName().toStdString();
  }
}

// The captions keep their designed boxes; with the face the window resolves they must
// fit whole, or a formula or a level label would be cut off.
TEST_F(WindowTest, EveryCaptionFitsItsLabelAtTheResolvedFont) {
  const QFontInfo resolved(window.font());
  RecordProperty("window_font",
                 resolved.family().toStdString() + " " + std::to_string(resolved.pointSizeF()));
  for (QLabel* label : window.findChildren<QLabel*>()) {
    const QFontMetrics metrics(label->font());
    const std::string name = label->objectName().toStdString();
    EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
        << name << " \"" << label->text().toStdString() << "\" in "
        << QFontInfo(label->font()).family().toStdString();
    EXPECT_LE(metrics.height(), label->height()) << name;
  }
  QPushButton* button = window.calculateButton();
  EXPECT_LT(QFontMetrics(button->font()).horizontalAdvance(button->text()), button->width());
  for (QLineEdit* edit : window.findChildren<QLineEdit*>()) {
    EXPECT_LE(QFontMetrics(edit->font()).height(), edit->height());
  }
}

TEST_F(WindowTest, BoxesCarryTheirCaptionsAndTitlesForAssistiveTechnology) {
  const std::map<QString, QString> names = {
      {"t", "t"},
      {"P", "T"},
      {"Ip", "Ip"},
      {"Ia", "Ia"},
      {"Ib", "Ib"},
      {"Text6(0)", "Full wave Sinusoidal"},
      {"Text6(1)", "Pulsed Sinusoidal"},
      {"Text6(3)", "Rectangular"},
      {"Text6(4)", "Trapezoid"},
      {"Text6(5)", "Triangle"},
      {"Text6(6)", "General (AC-Coupled)"},
      {"Command1", "Calculate"},
  };
  for (const auto& [name, accessible] : names) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(child(name));
    ASSERT_NE(face, nullptr) << name.toStdString();
    EXPECT_EQ(face->text(QAccessible::Name), accessible) << name.toStdString();
  }
  const std::map<QString, QString> buddies = {
      {"Label16", "t"}, {"Label15", "P"}, {"Label19", "Ip"}, {"Label17", "Ia"}, {"Label18", "Ib"}};
  for (const auto& [label, buddy] : buddies) {
    EXPECT_EQ(child<QLabel>(label)->buddy(), box(buddy)) << label.toStdString();
  }
}

// What the calculation writes for the window's initial inputs, computed by the same
// calculator over in-memory boxes.
QStringList expectedForInitialInputs() {
  FakeServices fake;
  Calculator reference(fake);
  reference.Command1_Click();
  QStringList texts;
  for (TextBox b : {TextBox::Text6_0, TextBox::Text6_1, TextBox::Text6_3, TextBox::Text6_4,
                    TextBox::Text6_5, TextBox::Text6_6}) {
    texts << QString::fromStdString(fake.text(b));
  }
  return texts;
}

TEST_F(WindowTest, AClickAndTheSpaceBarBothCalculateIntoTheResultBoxes) {
  showActive();
  const QStringList expected = expectedForInitialInputs();
  ASSERT_EQ(expected[1], "0.5");  // Ip * sqrt(0.5 / 2), exact

  press();
  EXPECT_EQ(results(), expected);

  for (QLineEdit* result : window.findChildren<QLineEdit*>(QRegularExpression("^Text6"))) {
    result->clear();
  }
  window.calculateButton()->setFocus();
  QTest::keyClick(window.calculateButton(), Qt::Key_Space);
  EXPECT_EQ(results(), expected);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(calculator.readErrorCount(), 0);
  EXPECT_EQ(calculator.clickErrorCount(), 0);
}

TEST_F(WindowTest, EnterAndEscapeNeverCalculate) {
  showActive();
  for (QWidget* target : window.findChildren<QWidget*>()) {
    if (target->focusPolicy() == Qt::NoFocus) {
      continue;
    }
    target->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      QTest::keyClick(target, key);
    }
  }
  EXPECT_EQ(results(), kSixEmpty);
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(window.calculateButton()->isDefault());
  EXPECT_FALSE(window.calculateButton()->autoDefault());
}

TEST_F(WindowTest, TypedResultTextStaysUntilAPressWritesTheBox) {
  showActive();
  QLineEdit* result = box("Text6(4)");
  result->setFocus();
  QTest::keyClicks(result, "my note");
  QTest::keyClick(result, Qt::Key_Tab);
  EXPECT_EQ(result->text(), "my note");
  EXPECT_EQ(services.text(TextBox::Text6_4), "my note");
  press();
  EXPECT_EQ(result->text(), expectedForInitialInputs()[3]);
}

TEST_F(WindowTest, AMegabytePasteArrivesWhole) {
  const QString huge(1 << 20, QLatin1Char('7'));
  box("Ip")->setFocus();
  box("Ip")->selectAll();
  box("Ip")->insert(huge);
  EXPECT_EQ(services.text(TextBox::Ip).size(), size_t{1} << 20);
}

TEST_F(WindowTest, ServicesReadAndWriteTheNamedBoxesInUtf8) {
  const QString text = QString::fromUtf8("µ 2,5 Ω");
  box("Ia")->setText(text);
  EXPECT_EQ(services.text(TextBox::Ia), "µ 2,5 Ω");
  services.setText(TextBox::Text6_5, "√2 ≈ 1.414");
  EXPECT_EQ(box("Text6(5)")->text(), QString::fromUtf8("√2 ≈ 1.414"));
  EXPECT_EQ(results()[4], QString::fromUtf8("√2 ≈ 1.414"));
}

TEST(QtServicesTest, RefusesAWindowWithoutTheBoxes) {
  application();
  QWidget empty;
  EXPECT_THROW(QtServices{empty}, std::invalid_argument);
  // Boxes of other names do not count.
  new QLineEdit(&empty);
  EXPECT_THROW(QtServices{empty}, std::invalid_argument);
}

struct MessageCase {
  const char* what;
  std::map<QString, QString> edits;
  int presses;
  QString title;
  QString text;
  QMessageBox::Icon icon;
};

TEST_F(WindowTest, EachMessageBoxShowsItsTextTitleAndIcon) {
  const std::string negativeRoot = "Error " + describe(ErrorNumber::SqrtOfNegative);
  const std::vector<MessageCase> cases = {
      {"empty box",
       {{"Ia", ""}},
       1,
       "Error",
       "Please ensure all boxes are filled",
       QMessageBox::Critical},
      {"duty above 100%",
       {{"t", "2"}},
       1,
       "Warning",
       "Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%",
       QMessageBox::Information},
      {"eleventh failure",
       {{"t", "-1"}},
       3,
       "End",
       QString::fromStdString(negativeRoot),
       QMessageBox::Critical},
  };
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(c.what);
    MainWindow fresh;
    QtServices freshServices(fresh);
    Calculator freshCalculator(freshServices);
    std::vector<ShownMessage> shown;
    freshServices.setPresenter([&](QMessageBox& b) {
      shown.push_back({b.windowTitle(), b.text(), b.icon(), b.buttons(), b.standardButtons(),
                       b.parentWidget(), b.textFormat(), fresh.findChild<QLineEdit*>("t")->text()});
    });
    for (const auto& [name, text] : c.edits) {
      fresh.findChild<QLineEdit*>(name)->setText(text);
    }
    for (int i = 0; i < c.presses; ++i) {
      freshCalculator.Command1_Click();
    }
    ASSERT_EQ(shown.size(), 1u);
    const ShownMessage& m = shown.front();
    EXPECT_EQ(m.title, c.title);
    EXPECT_EQ(m.text, c.text);
    EXPECT_EQ(m.icon, c.icon);
    EXPECT_EQ(m.standardButtons, QMessageBox::Ok);
    EXPECT_EQ(m.buttons.size(), 1);
    EXPECT_EQ(m.parent, &fresh);
    EXPECT_EQ(m.format, Qt::PlainText);
  }
}

TEST_F(WindowTest, TheDutyWarningComesAfterTheTBoxShowsThePeriod) {
  box("t")->setText("3");
  box("P")->setText("2.5");
  press();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.front().tBox, "2.5");
  EXPECT_EQ(box("t")->text(), "2.5");
  EXPECT_EQ(box("P")->text(), "2.5");
}

// The message box as the user meets it: modal, over the window, and the press goes on
// only after OK.
TEST_F(WindowTest, ARealMessageBoxHoldsThePressUntilDismissed) {
  showActive();
  services.setPresenter(nullptr);  // back to the modal default
  box("Ib")->clear();
  QString seenText;
  QStringList resultsWhileUp;
  bool modal = false;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, &window, [&] {
    auto* up = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (up == nullptr) {
      return;
    }
    poll.stop();
    seenText = up->text();
    modal = up->isModal() && up->parentWidget() == &window;
    resultsWhileUp = results();
    up->button(QMessageBox::Ok)->click();
  });
  poll.start();
  QTimer::singleShot(5000, &window, [] {
    if (auto* stuck = QApplication::activeModalWidget()) {
      stuck->close();
    }
  });
  press();
  EXPECT_EQ(seenText, "Please ensure all boxes are filled");
  EXPECT_TRUE(modal);
  EXPECT_EQ(resultsWhileUp, kSixEmpty);  // shown while reading, before any result
  EXPECT_NE(results(), kSixEmpty);       // and the press finished after OK
}

TEST_F(WindowTest, TheEleventhFailureClosesTheWindowAndLeavesTheEventLoop) {
  showActive();
  box("t")->setText("-1");  // a negative duty cycle: five failures per press
  std::vector<bool> visibleAfterPress;
  QTimer::singleShot(0, &window, [&] {
    for (int i = 0; i < 3; ++i) {
      press();
      visibleAfterPress.push_back(window.isVisible());
    }
  });
  bool watchdogFired = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, &window, [&] {
    watchdogFired = true;
    QCoreApplication::exit(2);
  });
  watchdog.start(5000);
  const int status = QApplication::exec();
  watchdog.stop();

  EXPECT_FALSE(watchdogFired);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(visibleAfterPress, (std::vector<bool>{true, true, false}));
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(calculator.ended());
  EXPECT_EQ(calculator.clickErrorCount(), 11);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.front().title, "End");
  // Slot 0 was written on every press; the failing slots keep nothing after the end.
  EXPECT_FALSE(results()[0].isEmpty());
}

TEST_F(WindowTest, ADrawingLayerLiesBetweenTheLabelsAndTheBoxes) {
  auto* layer = new QWidget;
  window.addDrawingLayer(layer);
  showActive();
  EXPECT_EQ(layer->parentWidget(), &window);
  EXPECT_EQ(layer->geometry(), QRect(0, 0, 693, 375));
  EXPECT_TRUE(layer->isVisible());
  EXPECT_EQ(layer->focusPolicy(), Qt::NoFocus);

  // children() lists the widgets from the bottom of the stack to the top.
  const QObjectList stack = window.children();
  const qsizetype at = stack.indexOf(layer);
  for (qsizetype i = 0; i < stack.size(); ++i) {
    if (i == at || !stack[i]->isWidgetType()) {
      continue;
    }
    const bool isLabel = qobject_cast<QLabel*>(stack[i]) != nullptr;
    EXPECT_EQ(i < at, isLabel) << stack[i]->objectName().toStdString();
  }

  // The mouse goes through the layer to the label below it and to the boxes above it.
  for (const char* name : {"Label13", "Label14(5)", "Label1", "t", "Text6(0)", "Command1"}) {
    QWidget* control = child(QString::fromLatin1(name));
    EXPECT_EQ(window.childAt(control->geometry().center()), control) << name;
  }
  QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                    window.calculateButton()->geometry().center());
  EXPECT_NE(results(), kSixEmpty);
}

// Rendered at whatever ratio the screen has (the suite also runs with QT_SCALE_FACTOR=2):
// every label shows ink inside its own rectangle and the window's empty strips stay
// plain, so nothing is drawn at a stale scale or offset.
TEST_F(WindowTest, TheWindowRendersAtTheScreensPixelRatio) {
  showActive();
  const QPixmap pixmap = window.grab();
  const qreal ratio = window.devicePixelRatioF();
  if (qEnvironmentVariable("QT_SCALE_FACTOR") == "2") {
    EXPECT_DOUBLE_EQ(ratio, 2.0);
  }
  EXPECT_EQ(pixmap.size(), window.size() * ratio);
  const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
  const QColor background = window.palette().color(QPalette::Window);
  const auto isInk = [&](int x, int y) {
    return qGray(image.pixel(x, y)) < qGray(background.rgb()) - 64;
  };
  for (QLabel* label : window.findChildren<QLabel*>()) {
    const QRect device(label->geometry().topLeft() * ratio, label->geometry().size() * ratio);
    int ink = 0;
    for (int y = device.top(); y <= device.bottom(); ++y) {
      for (int x = device.left(); x <= device.right(); ++x) {
        ink += isInk(x, y) ? 1 : 0;
      }
    }
    EXPECT_GT(ink, 0) << label->objectName().toStdString();
  }
  // The strip between the formulas and the titles' column holds no control (the
  // drawings come later, in their own layer): x 4400..6500 twips at y 0..2100 twips.
  const QRect empty(QPoint(toPixels(4400), 0) * ratio,
                    QSize(toPixels(2100), toPixels(2100)) * ratio);
  for (int y = empty.top(); y <= empty.bottom(); ++y) {
    for (int x = empty.left(); x <= empty.right(); ++x) {
      ASSERT_EQ(image.pixel(x, y), background.rgb()) << x << "," << y;
    }
  }
}

struct DisplayCase {
  const char* what;
  std::vector<const char*> arguments;
  std::map<std::string, std::string> environment;
  std::optional<std::string> problem;
};

TEST(DisplayProblemTest, FollowsThePlatformTheWindowEngineWouldChoose) {
  const std::string noX = "korvath-rms: cannot open a window: no display (DISPLAY is not set)";
  const std::string noWayland =
      "korvath-rms: cannot open a window: no display (WAYLAND_DISPLAY is not set)";
  const std::vector<DisplayCase> cases = {
      {"empty environment", {}, {}, noX},
      {"X display", {}, {{"DISPLAY", ":0"}}, std::nullopt},
      {"empty DISPLAY", {}, {{"DISPLAY", ""}}, noX},
      {"Wayland display", {}, {{"WAYLAND_DISPLAY", "wayland-0"}}, std::nullopt},
      {"offscreen", {}, {{"QT_QPA_PLATFORM", "offscreen"}}, std::nullopt},
      {"minimal", {}, {{"QT_QPA_PLATFORM", "minimal"}}, std::nullopt},
      {"vnc with options", {}, {{"QT_QPA_PLATFORM", "vnc:size=800x600"}}, std::nullopt},
      {"xcb without X", {}, {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "w"}}, noX},
      {"xcb with options", {}, {{"QT_QPA_PLATFORM", "xcb:x=1"}, {"DISPLAY", ":1"}}, std::nullopt},
      {"wayland without socket",
       {},
       {{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":0"}},
       noWayland},
      {"fallback list", {}, {{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":0"}}, std::nullopt},
      {"fallback list, none usable", {}, {{"QT_QPA_PLATFORM", "xcb;wayland"}}, noX},
      {"argument beats environment",
       {"-platform", "offscreen"},
       {{"QT_QPA_PLATFORM", "xcb"}},
       std::nullopt},
      {"double-dash argument", {"--platform", "xcb"}, {{"QT_QPA_PLATFORM", "offscreen"}}, noX},
      {"dangling -platform", {"-platform"}, {}, noX},
  };
  for (const DisplayCase& c : cases) {
    std::vector<char*> argv = {const_cast<char*>("korvath-rms")};
    for (const char* a : c.arguments) {
      argv.push_back(const_cast<char*>(a));
    }
    const auto lookup = [&](const char* name) -> const char* {
      const auto it = c.environment.find(name);
      return it == c.environment.end() ? nullptr : it->second.c_str();
    };
    EXPECT_EQ(displayProblem(lookup, argv), c.problem) << c.what;
  }
}

}  // namespace
}  // namespace rms
