// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "figure/press_input.h"
#include "figure/svg.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/qt/decimal_separator.h"
#include "runtime/qt/qt_services.h"
#include "runtime/qt/startup.h"
#include "runtime/recorder/recorder.h"
#include "tests/test_application.h"
#include "window/calculator.h"
#include "window/layout.h"
#include "window/main_window.h"
#include "window/sketch_data.h"
#include "window/twips_qt.h"
#include "window/waveforms_window.h"

namespace rms {
namespace {

struct ShownMessage {
  QString title;
  QString text;
  QMessageBox::Icon icon;
  QMessageBox::StandardButtons buttons;
  qsizetype buttonCount;
  QWidget* parent;
  Qt::TextFormat format;
  QString tBox;  // the t box while the message was up
};

// Records a message box instead of waiting for a user.
QtServices::Presenter recordInto(std::vector<ShownMessage>& shown, const QWidget& window) {
  return [&shown, &window](QMessageBox& b) {
    shown.push_back({b.windowTitle(), b.text(), b.icon(), b.standardButtons(), b.buttons().size(),
                     b.parentWidget(), b.textFormat(), window.findChild<QLineEdit*>("t")->text()});
  };
}

// The real window, the real services and the calculator, wired as the program wires
// them.
class WindowTest : public testing::Test {
 protected:
  WindowTest() {
    QObject::connect(window.calculateButton(), &QPushButton::clicked, &window,
                     [this] { calculator.Command1_Click(); });
    services.setPresenter(recordInto(messages, window));
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

  // Presses Calculate with real modal message boxes; once the first is up, runs whileUp
  // and answers OK. A box still up after 30 s is closed so that the test fails instead.
  void pressAndAnswer(const std::function<void(QMessageBox&)>& whileUp) {
    services.setPresenter(nullptr);  // back to the modal default
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &window, [&] {
      if (auto* up = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        poll.stop();
        whileUp(*up);
        up->button(QMessageBox::Ok)->click();
      }
    });
    poll.start();
    QTimer::singleShot(30000, &window, [] {
      if (auto* stuck = QApplication::activeModalWidget()) {
        stuck->close();
      }
    });
    press();
  }

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
}

TEST_F(WindowTest, EveryControlStandsWhereTheTablePutsIt) {
  for (const ControlRow& row : kLayout) {
    const QString name = QString::fromStdString(objectNameOf(row));
    QWidget* widget = child(name);
    ASSERT_NE(widget, nullptr) << "missing or duplicated: " << name.toStdString();
    EXPECT_EQ(widget->geometry(), toPixels(row.rect)) << name.toStdString();
  }
  EXPECT_EQ(window.findChildren<QLabel*>().size(), 28);
  EXPECT_EQ(window.findChildren<QLineEdit*>().size(), 11);
  EXPECT_EQ(window.findChildren<QPushButton*>().size(), 1);

  // What the rows mean, beside where they are: every control within the window, no box or
  // button over another, and each caption just left of its box (touching it at most), on
  // its line.
  const QRect client(QPoint(0, 0), window.size());
  std::vector<const QWidget*> stops;
  for (const ControlRow& row : kLayout) {
    const QWidget* widget = child(QString::fromStdString(objectNameOf(row)));
    EXPECT_TRUE(client.contains(widget->geometry())) << objectNameOf(row);
    if (row.kind != ControlKind::Label) {
      for (const QWidget* other : stops) {
        EXPECT_FALSE(widget->geometry().intersects(other->geometry()))
            << objectNameOf(row) << " over " << other->objectName().toStdString();
      }
      stops.push_back(widget);
    }
  }
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (const QWidget* buddy = label->buddy()) {
      const QRect caption = label->geometry();
      const QRect box = buddy->geometry();
      EXPECT_LE(caption.right(), box.left()) << label->objectName().toStdString();
      EXPECT_LE(box.left() - caption.right(), 16) << label->objectName().toStdString();
      EXPECT_LE(std::abs(caption.top() - box.top()), 2) << label->objectName().toStdString();
    }
  }

  const QStringList centred = {"Label20(0)", "Label20(1)", "Label20(3)", "Label20(4)",
                               "Label20(5)", "Label20(6)", "Label1",     "Label2"};
  for (QLabel* label : window.findChildren<QLabel*>()) {
    const QString name = label->objectName();
    const bool legend = name == "Label1" || name == "Label2";
    EXPECT_EQ(bool(label->alignment() & Qt::AlignHCenter), centred.contains(name))
        << name.toStdString();
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), legend ? 9.75 : 8.0) << name.toStdString();
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << name.toStdString();
  }
  EXPECT_EQ(child<QLabel>("Label16")->text(), "t = ");
  EXPECT_EQ(child<QLabel>("Label14(0)")->text(), "Irms = Ip . Sqrt(D/2)");
}

TEST_F(WindowTest, NothingMovesWhenTheWindowIsResized) {
  showActive();
  std::map<QString, QRect> before;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    before[w->objectName()] = w->geometry();
  }
  for (QSize asked : {QSize(900, 600), QSize(300, 200)}) {
    window.resize(asked);
    QApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(693, 375));
  }
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

// What the calculation writes for the window's initial inputs (or another t), computed
// by the same calculator over in-memory boxes.
QStringList expectedResults(std::string_view t = "0.5") {
  Recorder fake;
  fake.type(TextBox::t, t);
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
  const QStringList expected = expectedResults();
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
  EXPECT_EQ(calculator.readErrorCount() + calculator.clickErrorCount(), 0);
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
}

TEST_F(WindowTest, BoxesHoldWhatIsTypedUntilAPressWritesThem) {
  showActive();
  QLineEdit* result = box("Text6(4)");
  result->setFocus();
  QTest::keyClicks(result, "my note");
  QTest::keyClick(result, Qt::Key_Tab);
  EXPECT_EQ(services.text(TextBox::Text6_4), "my note");
  press();
  EXPECT_EQ(result->text(), expectedResults()[3]);

  // An input box takes a paste up to its limit whole; one edit past it is refused
  // whole, not cut short. A result box has no limit.
  const QString full = QString(kMaxInputLength - 1, QLatin1Char('0')) + "5";
  const QString over = QString(kMaxInputLength, QLatin1Char('0')) + "5";
  struct Paste {
    const char* box;
    QString text;
    bool replaceAll;
    bool arrives;
  };
  for (const Paste& p : {Paste{"Ip", full, true, true}, Paste{"Ip", "7", false, false},
                         Paste{"Ip", over, true, false}, Paste{"Text6(0)", over, true, true}}) {
    QLineEdit* edit = box(p.box);
    const QString before = edit->text();
    edit->setFocus();
    edit->end(false);
    if (p.replaceAll) {
      edit->selectAll();
    }
    QApplication::clipboard()->setText(p.text);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), p.arrives ? p.text : before)
        << p.box << " given " << p.text.size() << " characters";
  }
  EXPECT_EQ(TextToSingle(services.text(TextBox::Ip)), 5.0f);

  // Texts cross the services as UTF-8 both ways.
  box("Ia")->setText(QString::fromUtf8("µ 2,5 Ω"));
  EXPECT_EQ(services.text(TextBox::Ia), "µ 2,5 Ω");
  services.setText(TextBox::Text6_5, "√2 ≈ 1.414");
  EXPECT_EQ(results()[4], QString::fromUtf8("√2 ≈ 1.414"));
}

TEST(QtServicesTest, RefusesAWindowWithoutTheBoxes) {
  application();
  QWidget empty;
  EXPECT_THROW(QtServices{empty}, std::invalid_argument);
  new QLineEdit(&empty);  // a box of another name does not count
  EXPECT_THROW(QtServices{empty}, std::invalid_argument);
}

struct MessageCase {
  const char* what;
  std::map<QString, QString> edits;
  int presses;
  QString title;
  QString text;
  QMessageBox::Icon icon;
  QString tBox;
};

TEST(MessageBoxTest, EachMessageShowsItsTextTitleAndIconOverTheWindow) {
  application();
  const QString duty = "Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%";
  const QString end = QString::fromStdString("Error " + describe(ErrorNumber::SqrtOfNegative));
  const std::vector<MessageCase> cases = {
      {"empty box",
       {{"Ia", ""}},
       1,
       "Error",
       "Please ensure all boxes are filled",
       QMessageBox::Critical,
       "0.5"},
      // The t box already shows the period when the warning comes up.
      {"duty above 100%",
       {{"t", "3"}, {"P", "2.5"}},
       1,
       "Warning",
       duty,
       QMessageBox::Information,
       "2.5"},
      {"eleventh failure", {{"t", "-1"}}, 3, "End", end, QMessageBox::Critical, "-1"},
  };
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(c.what);
    MainWindow window;
    QtServices services(window);
    Calculator calculator(services);
    std::vector<ShownMessage> shown;
    services.setPresenter(recordInto(shown, window));
    for (const auto& [name, text] : c.edits) {
      window.findChild<QLineEdit*>(name)->setText(text);
    }
    for (int i = 0; i < c.presses; ++i) {
      calculator.Command1_Click();
    }
    ASSERT_EQ(shown.size(), 1u);
    const ShownMessage& m = shown.front();
    EXPECT_EQ(m.title, c.title);
    EXPECT_EQ(m.text, c.text);
    EXPECT_EQ(m.icon, c.icon);
    EXPECT_EQ(m.buttons, QMessageBox::Ok);
    EXPECT_EQ(m.buttonCount, 1);
    EXPECT_EQ(m.parent, &window);
    EXPECT_EQ(m.format, Qt::PlainText);
    EXPECT_EQ(m.tBox, c.tBox);
  }
}

// The message box as the user meets it: modal, over the window, and the press goes on
// only after OK.
TEST_F(WindowTest, ARealMessageBoxHoldsThePressUntilDismissed) {
  showActive();
  box("Ib")->clear();
  QString seenText;
  QStringList resultsWhileUp;
  bool modal = false;
  pressAndAnswer([&](QMessageBox& up) {
    seenText = up.text();
    modal = up.isModal() && up.parentWidget() == &window;
    resultsWhileUp = results();
  });
  EXPECT_EQ(seenText, "Please ensure all boxes are filled");
  EXPECT_TRUE(modal);
  EXPECT_EQ(resultsWhileUp, kSixEmpty);  // shown while reading, before any result
  EXPECT_NE(results(), kSixEmpty);       // and the press finished after OK
}

// The modal box keeps the mouse and keyboard from the button, but an accessibility
// action (a screen reader, voice control) still presses it. That press is ignored: it
// must not run inside the press that waits for OK.
TEST_F(WindowTest, AnAccessibilityPressWhileAMessageBoxIsUpIsIgnored) {
  showActive();
  box("t")->setText("2");  // brings up the duty warning
  int clicks = 0;          // counted after the calculator's own slot has returned
  QObject::connect(window.calculateButton(), &QPushButton::clicked, &window, [&] { ++clicks; });
  QStringList resultsAfterNested;
  pressAndAnswer([&](QMessageBox&) {
    QAccessibleInterface* t = QAccessible::queryAccessibleInterface(box("t"));
    t->editableTextInterface()->replaceText(0, t->textInterface()->characterCount(), "-5");
    QAccessible::queryAccessibleInterface(window.calculateButton())
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks == 1; }));  // the action clicks on a timer
    resultsAfterNested = results();
  });
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(resultsAfterNested, kSixEmpty);
  EXPECT_EQ(results(), expectedResults("1"));  // the first press, on its own inputs
  EXPECT_EQ(calculator.clickErrorCount(), 0);
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
  watchdog.start(30000);
  const int status = QApplication::exec();
  watchdog.stop();

  EXPECT_FALSE(watchdogFired);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(visibleAfterPress, (std::vector<bool>{true, true, false}));
  EXPECT_TRUE(calculator.ended());
  EXPECT_EQ(calculator.clickErrorCount(), 11);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.front().title, "End");
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
    if (qobject_cast<QLabel*>(stack[i])) {
      EXPECT_LT(i, at) << stack[i]->objectName().toStdString();
    } else if (qobject_cast<QLineEdit*>(stack[i]) || qobject_cast<QPushButton*>(stack[i])) {
      EXPECT_GT(i, at) << stack[i]->objectName().toStdString();
    }
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
// every label shows ink inside its own rectangle and an empty strip stays plain, so
// nothing is drawn at a stale scale or offset.
TEST_F(WindowTest, TheWindowRendersAtTheScreensPixelRatio) {
  showActive();
  const QPixmap pixmap = window.grab();
  const qreal ratio = window.devicePixelRatioF();
  if (qEnvironmentVariable("QT_SCALE_FACTOR") == "2") {
    EXPECT_DOUBLE_EQ(ratio, 2.0);
  }
  EXPECT_EQ(pixmap.size(), window.size() * ratio);
  const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
  const QRgb background = window.palette().color(QPalette::Window).rgb();
  const auto inkIn = [&](const QRect& logical) {
    const QRect device(logical.topLeft() * ratio, logical.size() * ratio);
    int ink = 0;
    for (int y = device.top(); y <= device.bottom(); ++y) {
      for (int x = device.left(); x <= device.right(); ++x) {
        ink += qGray(image.pixel(x, y)) < qGray(background) - 64 ? 1 : 0;
      }
    }
    return ink;
  };
  for (QLabel* label : window.findChildren<QLabel*>()) {
    EXPECT_GT(inkIn(label->geometry()), 0) << label->objectName().toStdString();
  }
  // Between the formulas and the separator, above panel 4, nothing stands.
  EXPECT_EQ(inkIn(QRect(toPixels(4400, 0), QSize(toPixels(2100), toPixels(2100)))), 0);
}

struct DisplayCase {
  const char* what;
  const char* defaultPlatform;  // the window engine's own default where it was built
  std::vector<const char*> arguments;
  std::map<std::string, std::string> environment;
  const char* missing;  // what the message names, or nullptr when a window can open
};

TEST(DisplayProblemTest, FollowsThePlatformTheWindowEngineWouldChoose) {
  const std::vector<DisplayCase> cases = {
      // X11 and Wayland desktops (Linux builds default to xcb).
      {"empty environment", "xcb", {}, {}, "DISPLAY"},
      {"X display", "xcb", {}, {{"DISPLAY", ":0"}}, nullptr},
      {"empty DISPLAY", "xcb", {}, {{"DISPLAY", ""}}, "DISPLAY"},
      {"Wayland socket, no session type", "xcb", {}, {{"WAYLAND_DISPLAY", "w"}}, "DISPLAY"},
      {"Wayland session",
       "xcb",
       {},
       {{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "w"}},
       nullptr},
      {"Wayland session, X fallback",
       "xcb",
       {},
       {{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}},
       nullptr},
      {"Wayland session, neither", "xcb", {}, {{"XDG_SESSION_TYPE", "wayland"}}, "WAYLAND_DISPLAY"},
      {"X11 session", "wayland", {}, {{"XDG_SESSION_TYPE", "x11"}}, "DISPLAY"},
      {"Wayland default", "wayland", {}, {{"XDG_RUNTIME_DIR", "/run/user/1"}}, nullptr},
      {"offscreen", "xcb", {}, {{"QT_QPA_PLATFORM", "offscreen"}}, nullptr},
      {"empty QT_QPA_PLATFORM", "xcb", {}, {{"QT_QPA_PLATFORM", ""}}, "DISPLAY"},
      {"vnc with options", "xcb", {}, {{"QT_QPA_PLATFORM", "vnc:size=800x600"}}, nullptr},
      {"xcb without X",
       "xcb",
       {},
       {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "w"}},
       "DISPLAY"},
      {"wayland without socket",
       "xcb",
       {},
       {{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":0"}},
       "WAYLAND_DISPLAY"},
      {"fallback list",
       "xcb",
       {},
       {{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":0"}},
       nullptr},
      {"argument first", "xcb", {"-platform", "offscreen"}, {{"QT_QPA_PLATFORM", "xcb"}}, nullptr},
      {"double dash", "xcb", {"--platform", "xcb"}, {{"QT_QPA_PLATFORM", "offscreen"}}, "DISPLAY"},
      // Windows and macOS: their plugins need no display, and a session type is no concern.
      {"Windows, empty environment", "windows", {}, {}, nullptr},
      {"Windows, Wayland session", "windows", {}, {{"XDG_SESSION_TYPE", "wayland"}}, nullptr},
      {"Windows, -platform windows", "windows", {"-platform", "windows"}, {}, nullptr},
      {"Windows, asked for xcb", "windows", {}, {{"QT_QPA_PLATFORM", "xcb"}}, "DISPLAY"},
      {"macOS, empty environment", "cocoa", {}, {}, nullptr},
      {"macOS, -platform cocoa", "cocoa", {"-platform", "cocoa"}, {}, nullptr},
      {"macOS, asked for xcb",
       "cocoa",
       {"-platform", "xcb"},
       {{"QT_QPA_PLATFORM", "cocoa"}},
       "DISPLAY"},
      {"Linux, -platform windows", "xcb", {"-platform", "windows"}, {}, nullptr},
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
    const std::optional<std::string> problem = displayProblem(lookup, argv, c.defaultPlatform);
    if (c.missing == nullptr) {
      EXPECT_EQ(problem, std::nullopt) << c.what;
    } else {
      EXPECT_EQ(problem, "korvath-rms: cannot open a window: no display (" +
                             std::string(c.missing) + " is not set)")
          << c.what;
    }
  }
}

// The separator follows the locale only where it writes a decimal comma; a decimal mark
// the conversions do not know (the Arabic one) leaves the point.
TEST(DecimalSeparatorTest, IsTheCommaWhereTheLocaleWritesOne) {
  struct Row {
    QLocale::Language language;
    QLocale::Territory territory;
    char separator;
  };
  for (const Row& row :
       {Row{QLocale::German, QLocale::Germany, ','}, Row{QLocale::Portuguese, QLocale::Brazil, ','},
        Row{QLocale::English, QLocale::UnitedStates, '.'},
        Row{QLocale::German, QLocale::Switzerland, '.'},
        Row{QLocale::Arabic, QLocale::Egypt, '.'}}) {
    const QLocale locale(row.language, row.territory);
    EXPECT_EQ(decimalSeparatorOf(locale), row.separator) << locale.name().toStdString();
  }
  EXPECT_EQ(decimalSeparatorOf(QLocale::c()), '.');
}

// The real window on a German desktop, its separator taken as the program takes it.
// ctest runs this as window_tests_de_DE under LC_ALL=de_DE.UTF-8; on a desktop with a
// decimal point it has nothing to show and is skipped.
TEST_F(WindowTest, OnAGermanDesktopCommaAndPointReadAlikeAndResultsTakeTheComma) {
  const char separator = decimalSeparatorOf(QLocale::system());
  if (separator != ',') {
    GTEST_SKIP() << "the desktop's locale writes a decimal point";
  }
  Calculator german(services, separator);
  for (const char* typed : {"0,5", "0.5"}) {
    box("t")->clear();
    QTest::keyClicks(box("t"), QString::fromLatin1(typed));
    german.Command1_Click();
    EXPECT_EQ(results(),
              (QStringList{"0,7071067811865475", "0,5", "0,7071067811865476", "0,5400617248673216",
                           "0,408248290463863", "0,3886407938787006"}))
        << typed;
  }
  EXPECT_TRUE(messages.empty()) << "a box read as empty";
}

// The program's wiring of the Waveforms window: the press is recorded on its way to the
// window.
class WaveformsTest : public testing::Test {
 protected:
  WaveformsTest() {
    offerWaveforms(window, waveforms);
    pressOnCalculate(window, calculator, recorder, waveforms, '.');
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  ~WaveformsTest() override { waveforms.close(); }

  QApplication& app = application();
  MainWindow window;
  QtServices services{window};
  Recorder recorder{services};
  Calculator calculator{recorder, '.', &recorder};
  WaveformsWindow waveforms;
};

// Answers the context menu that `open` brings up: the action named "Waveforms", if the menu
// has one, is triggered; the menu's texts are kept.
QStringList answerContextMenu(const std::function<void()>& open) {
  QStringList seen;
  QTimer::singleShot(50, [&seen] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) {
      return;
    }
    QAction* waveforms = nullptr;
    for (QAction* action : menu->actions()) {
      seen << action->text() + "\t" + action->shortcut().toString();
      waveforms = action->text() == "Waveforms" ? action : waveforms;
    }
    menu->close();
    if (waveforms != nullptr) {
      waveforms->trigger();
    }
  });
  open();
  QTest::qWait(100);
  return seen;
}

TEST_F(WaveformsTest, TheWindowOpensFromASketchTheShortcutAndTheBackgroundMenu) {
  const QPoint onASketch = toPixels(kShapes.back().twips).center();  // a rectangular pulse
  const QPoint blank = toPixels(4400, 100);                          // above panel 4
  struct Way {
    const char* name;
    std::function<void()> act;
    bool opens;
  };
  const Way ways[] = {
      {"double-click on a sketch",
       [&] { QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, onASketch); }, true},
      {"double-click beside the sketches",
       [&] { QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, blank); }, false},
      {"the shortcut", [&] { QTest::keyClick(&window, kWaveformsKey); }, true},
      {"the background's context menu",
       [&] {
         const QStringList seen = answerContextMenu([&] {
           QContextMenuEvent event(QContextMenuEvent::Mouse, blank, window.mapToGlobal(blank));
           QApplication::sendEvent(&window, &event);
         });
         EXPECT_EQ(seen, QStringList{"Waveforms\tF7"});
       },
       true},
      {"an input box's context menu",
       [&] {
         auto* box = window.findChild<QLineEdit*>("Ip");
         const QStringList seen = answerContextMenu([box] {
           QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(4, 4),
                                   box->mapToGlobal(QPoint(4, 4)));
           QApplication::sendEvent(box, &event);
         });
         EXPECT_FALSE(seen.isEmpty());  // its own menu, with no Waveforms in it
       },
       false},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    waveforms.hide();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    way.act();
    EXPECT_EQ(waveforms.isVisible(), way.opens);
    EXPECT_EQ(waveforms.windowTitle(), "Waveforms");
  }
}

TEST_F(WaveformsTest, APressShowsItsFigureAndSavesTheSameBytesAsPlot) {
  EXPECT_FALSE(waveforms.figure().has_value());
  EXPECT_FALSE(waveforms.saveButton()->isEnabled());
  QTest::mouseClick(window.calculateButton(), Qt::LeftButton);
  ASSERT_TRUE(waveforms.figure().has_value());

  Recorder recorder;  // the press of --plot, over the same initial texts
  Calculator alone(recorder, '.', &recorder);
  const std::string expected(FigureSvg(MakeFigure(FigureInputOf(recorder.press(alone), '.', '.'))));

  const QTemporaryDir dir;
  const QString path = dir.filePath("waveforms.svg");
  ASSERT_TRUE(waveforms.saveSvg(path));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray saved = file.readAll();
  EXPECT_EQ(saved.toStdString(), expected);
  uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a, as tests/golden/figures.tsv has it
  for (const char c : saved) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  }
  EXPECT_EQ(hash, 0x1b85757421530e73ULL);

  EXPECT_EQ(waveforms.view()->accessibleName(), "Waveforms");
  EXPECT_EQ(waveforms.view()->accessibleDescription().toStdString(),
            waveforms.figure()->description);
}

// A pixel on the rectangular panel's waveform: the middle of its first pulse's top, away
// from the levels and the axes.
TEST_F(WaveformsTest, TheDrawnWaveformIsInkWhereItsPathRuns) {
  waveforms.open();
  const auto darkAt = [this](QPointF at) {
    const QImage image = waveforms.view()->grab().toImage();
    const qreal ratio = waveforms.view()->devicePixelRatioF();
    return qGray(image.pixel((at * ratio).toPoint())) < 96;
  };
  QTest::mouseClick(window.calculateButton(), Qt::LeftButton);
  ASSERT_TRUE(waveforms.figure().has_value());
  const Panel& panel = waveforms.figure()->panels[2];
  ASSERT_EQ(panel.slot, ResultSlot::Rectangular);
  ASSERT_FALSE(panel.paths.empty());
  const Path& path = panel.paths.front();
  std::optional<QPointF> onTop;
  Point from = path.start;
  for (const PathStep& step : path.steps) {
    if (!step.cubic && from.y == step.to.y && from.y < panel.zeroY - 10 && !onTop) {
      onTop = QPointF((from.x + step.to.x) / 2, from.y);
    }
    from = step.to;
  }
  ASSERT_TRUE(onTop.has_value());
  EXPECT_TRUE(darkAt(*onTop));
  EXPECT_FALSE(darkAt(*onTop + QPointF(0, 6)));  // under the top, inside the pulse
}

// The recorder passes the press on to the window: its boxes are read and written there, its
// message boxes are shown there, and its record, the figure's input, holds the same.
TEST_F(WaveformsTest, APressThroughTheRecorderReachesTheWindowWhole) {
  struct Case {
    const char* box;
    const char* text;
    const char* message;
    const char* tAfter;  // the t box when the press is over
  };
  const Case cases[] = {
      {"Ib", "", "Please ensure all boxes are filled", "0.5"},
      {"t", "2", "Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%", "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    std::vector<ShownMessage> shown;
    services.setPresenter(recordInto(shown, window));
    window.findChild<QLineEdit*>("t")->setText("0.5");
    window.findChild<QLineEdit*>("Ib")->setText("1");
    window.findChild<QLineEdit*>(c.box)->setText(c.text);
    QTest::mouseClick(window.calculateButton(), Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].text, c.message);
    const std::span<const Step> steps = recorder.record().steps();
    EXPECT_EQ(std::count_if(steps.begin(), steps.end(),
                            [&](const Step& step) {
                              return step.kind == StepKind::Message && step.text == c.message;
                            }),
              1);
    EXPECT_EQ(window.findChild<QLineEdit*>("t")->text(), c.tAfter);
    ASSERT_TRUE(waveforms.figure().has_value());
    EXPECT_TRUE(waveforms.figure()->panels[0].values.has_value());
  }
  services.setPresenter(nullptr);
}

// On a comma desktop the figure's labels are the result boxes' texts; the saved file too.
TEST_F(WaveformsTest, ACommaDesktopLabelsTheFigureAsTheResultBoxes) {
  Recorder commaRecorder(services);
  Calculator comma(commaRecorder, ',', &commaRecorder);
  waveforms.showPress(FigureInputOf(commaRecorder.press(comma), ',', ','));
  const QString result = window.findChild<QLineEdit*>("Text6(0)")->text();
  EXPECT_EQ(result, "0,7071067811865475");
  const std::string svg(FigureSvg(*waveforms.figure()));
  EXPECT_NE(svg.find("RMS " + result.toStdString()), std::string::npos);
  EXPECT_EQ(svg.find("0.7071067811865475"), std::string::npos);
}

}  // namespace
}  // namespace rms
