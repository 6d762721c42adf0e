// SPDX-License-Identifier: MIT
// A monkey on the real window: a seeded random stream of key presses, pastes (digits or
// binary junk as long as an input box holds, or one character longer, among them), mouse
// clicks and presses of Calculate, with every message box dismissed as it comes up and
// the end of the program caught as the window engine sees it (the event loop returns).
//
// After every action:
//   - a paste arrives whole, or is refused whole when it would take an input box past
//     its limit;
//   - a box changes only when the monkey touched it, or during a press: the result
//     boxes, and the t box (then reading back as the period, after a duty warning);
//   - after a press every result box holds "", "NaN" or the exact text of a double;
//   - the failure counts never go down, the read count rises by the number of input
//     boxes that hold no number, the filled-boxes message comes with them, once;
//   - the program ends exactly when a count first exceeds 10, after its "End" message,
//     closing the window and leaving the event loop; after that nothing changes.
// The seed is printed with any failure; RMS_MONKEY_SEED=<n> replays it.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "fuzz/press_invariants.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/qt/qt_services.h"
#include "tests/test_application.h"
#include "window/calculator.h"
#include "window/main_window.h"

namespace rms {
namespace {

constexpr int kActions = 10000;
constexpr int kActionsPerRun = 600;  // a run that has not ended by then is closed
constexpr int kLimit = 10;
constexpr qsizetype kLong = 4096;      // beyond this the monkey selects all before typing
constexpr int kLongPasteEvery = 1500;  // actions per paste at the length limit

const std::array<TextBox, 5> kInputs = {TextBox::t, TextBox::P, TextBox::Ip, TextBox::Ia,
                                        TextBox::Ib};
const std::array<TextBox, 11> kAllBoxes = {TextBox::t,       TextBox::P,       TextBox::Ip,
                                           TextBox::Ia,      TextBox::Ib,      TextBox::Text6_0,
                                           TextBox::Text6_1, TextBox::Text6_3, TextBox::Text6_4,
                                           TextBox::Text6_5, TextBox::Text6_6};

const QString kFill = "Please ensure all boxes are filled";
const QString kDuty = "Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%";

uint64_t seedFromEnvironment() {
  if (const char* s = std::getenv("RMS_MONKEY_SEED")) {
    return std::strtoull(s, nullptr, 10);
  }
  return 1718000000;
}

struct Shown {
  QString title;
  QString text;
  QMessageBox::Icon icon;
};

struct Totals {
  int actions = 0;
  int presses = 0;
  int runs = 0;
  int ended = 0;
  int messages = 0;
  int longPastes = 0;
  int refused = 0;  // pastes an input box refused whole
};

// One run of the program: a window, its services and its calculator, wired as the
// program wires them, and the monkey on it until the program ends or the run is over.
class ProgramRun {
 public:
  ProgramRun(std::mt19937_64& rng, Totals& totals) : rng_(rng), totals_(totals) {
    QObject::connect(window_.calculateButton(), &QPushButton::clicked, &window_,
                     [this] { calculator_.Command1_Click(); });
    services_.setPresenter([this](QMessageBox& box) { present(box); });
  }

  // Returns the status the event loop returned with.
  int play(int actions) {
    window_.show();
    window_.activateWindow();
    if (!QTest::qWaitForWindowExposed(&window_)) {
      ADD_FAILURE() << "the window never showed";
      return -1;
    }
    snapshot_ = texts();
    QTimer::singleShot(0, &window_, [this, actions] {
      for (int i = 0; i < actions && !calculator_.ended() && !testing::Test::HasFatalFailure();
           ++i) {
        SCOPED_TRACE(testing::Message() << "action " << totals_.actions);
        step();
        ++totals_.actions;
      }
      if (!calculator_.ended()) {
        QCoreApplication::exit(3);  // the run is over; the program would go on
      }
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &window_, [] { QCoreApplication::exit(2); });
    watchdog.start(120000);
    const int status = QApplication::exec();
    EXPECT_TRUE(watchdog.isActive()) << "the run took more than two minutes";
    return status;
  }

  void checkEnded(int status) {
    ++totals_.runs;
    if (!calculator_.ended()) {
      EXPECT_EQ(status, 3);
      EXPECT_TRUE(window_.isVisible());
      window_.close();
      return;
    }
    ++totals_.ended;
    EXPECT_EQ(status, 0) << "the end of the program did not leave the event loop";
    EXPECT_FALSE(window_.isVisible()) << "the end of the program left the window up";
    ASSERT_FALSE(shown_.empty());
    EXPECT_EQ(shown_.back().title, "End");
    EXPECT_TRUE(shown_.back().text.startsWith("Error "));
    EXPECT_EQ(shown_.back().icon, QMessageBox::Critical);
    // A dead program does nothing more, whatever reaches its button.
    const std::vector<QString> before = texts();
    const size_t messages = shown_.size();
    window_.calculateButton()->click();
    calculator_.Command1_Click();
    EXPECT_EQ(texts(), before);
    EXPECT_EQ(shown_.size(), messages);
  }

 private:
  QLineEdit* box(TextBox b) const {
    return window_.findChild<QLineEdit*>(QString::fromLatin1(boxName(b)));
  }
  std::vector<QString> texts() const {
    std::vector<QString> all;
    for (TextBox b : kAllBoxes) {
      all.push_back(box(b)->text());
    }
    return all;
  }

  void present(QMessageBox& box) {
    shown_.push_back({box.windowTitle(), box.text(), box.icon()});
    ++totals_.messages;
    // Dismissed the way a user might, once the modal loop runs.
    const int how = pick(4);
    QTimer::singleShot(0, &box, [&box, how] {
      switch (how) {
        case 0:
          QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton);
          break;
        case 1:
          QTest::keyClick(&box, Qt::Key_Return);
          break;
        case 2:
          QTest::keyClick(&box, Qt::Key_Escape);
          break;
        default:  // the space bar on the OK button, which has the focus
          QTest::keyClick(box.button(QMessageBox::Ok), Qt::Key_Space);
          break;
      }
    });
    // A box that the dismissal did not close fails the run instead of hanging it.
    QTimer::singleShot(10000, &box, [&box] {
      ADD_FAILURE() << "a message box stayed up";
      box.done(0);
    });
    box.exec();
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  QString numberText() {
    switch (pick(10)) {
      case 0:
        return QString::number(pick(13) - 3);
      case 1: {
        static const char* const kNice[] = {"0.5",  ".5",  "1",    "2",     "0",
                                            "-1",   "0.3", "1e38", "1e-38", "3.4028235e38",
                                            "1e39", "",    " 7 ",  "5."};
        return QString::fromLatin1(kNice[pick(std::size(kNice))]);
      }
      case 2: {  // any finite single, as the program itself would write it
        uint32_t bits = static_cast<uint32_t>(rng_());
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        return std::isfinite(f) ? QString::fromStdString(SingleToText(f)) : QString("nan");
      }
      case 3: {  // a few keys from the number alphabet and its neighbours
        static const QString kKeys = "0123456789.-+eE \tx,µ";
        QString s;
        for (int n = pick(6) + 1; n > 0; --n) {
          s += kKeys[pick(static_cast<int>(kKeys.size()))];
        }
        return s;
      }
      default:
        return goodNumber();
    }
  }

  QString longText(qsizetype length, bool digits) {
    QString s(length, Qt::Uninitialized);
    for (QChar& c : s) {
      // Junk as a binary file pasted as Latin-1: every byte, NUL and controls included.
      c = digits ? QChar('0' + pick(10)) : QChar(static_cast<char16_t>(pick(256)));
    }
    return s;
  }

  // A number the calculator will read.
  QString goodNumber() {
    return pick(2) == 0 ? QString::number(pick(10) + 1)
                        : QString::number(std::ldexp(pick(1 << 20) + 1, -pick(24)), 'g', 9);
  }

  // One action of the monkey.
  void step() {
    if (totals_.actions % kLongPasteEvery == kLongPasteEvery / 2) {
      // At a fixed pace whatever the seed: digits and junk in turn, at the limit into
      // any box, then one character past it into an input box.
      const int n = totals_.longPastes++;
      const bool past = n / 2 % 2 == 1;
      const TextBox target =
          past ? kInputs[pick(kInputs.size())] : kAllBoxes[pick(kAllBoxes.size())];
      paste(target, longText(kMaxInputLength + (past ? 1 : 0), n % 2 == 0));
      checkUntouched(target);
      return;
    }
    const int what = pick(1000);
    if (what < 200) {
      press();
      return;
    }
    if (what < 220) {
      // The user starts over: every input box selected and typed anew.
      for (TextBox b : kInputs) {
        QTest::keyClick(box(b), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box(b), goodNumber());
      }
      snapshot_ = texts();
      return;
    }
    const TextBox target = kAllBoxes[pick(kAllBoxes.size())];
    QLineEdit* edit = box(target);
    if (edit->text().size() > kLong || pick(5) < 3) {
      QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    }
    if (what < 550) {
      QTest::keyClicks(edit, numberText());
    } else if (what < 700) {
      static const std::array<std::pair<Qt::Key, Qt::KeyboardModifiers>, 11> kKeys = {{
          {Qt::Key_Backspace, {}},
          {Qt::Key_Delete, {}},
          {Qt::Key_Home, {}},
          {Qt::Key_End, {}},
          {Qt::Key_Left, Qt::ShiftModifier},
          {Qt::Key_A, Qt::ControlModifier},
          {Qt::Key_X, Qt::ControlModifier},
          {Qt::Key_Z, Qt::ControlModifier},
          {Qt::Key_Return, {}},
          {Qt::Key_Escape, {}},
          {Qt::Key_Tab, {}},
      }};
      const auto& [key, modifiers] = kKeys[pick(kKeys.size())];
      QTest::keyClick(edit, key, modifiers);
    } else if (what < 950) {
      paste(target, pick(2) == 0 ? numberText() : numberText() + numberText());
    } else {
      // A click somewhere in the window: on a label, a sketch, a box; never the button.
      const QPoint at(pick(window_.width()), pick(window_.height()));
      QWidget* hit = window_.childAt(at);
      if (hit == window_.calculateButton()) {
        return;
      }
      QWidget* on = hit ? hit : &window_;
      QTest::mouseClick(on, Qt::LeftButton, {}, on->mapFrom(&window_, at));
      checkUntouched({});
      return;
    }
    checkUntouched(target);
  }

  void paste(TextBox target, const QString& text) {
    QLineEdit* edit = box(target);
    QApplication::clipboard()->setText(text);
    if (pick(2) == 0) {
      QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    }
    const QString before = edit->text();
    const qsizetype kept = before.size() - edit->selectedText().size();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    if (target < TextBox::Text6_0 && kept + text.size() > kMaxInputLength) {
      ASSERT_EQ(edit->text(), before) << "a paste past the limit was not refused whole";
      ++totals_.refused;
    } else {
      ASSERT_GE(edit->text().size(), kept + text.size()) << "the paste did not arrive whole";
    }
  }

  // Nothing but the touched box may have changed since the last look.
  void checkUntouched(std::optional<TextBox> touched) {
    const std::vector<QString> now = texts();
    for (size_t i = 0; i < kAllBoxes.size(); ++i) {
      if (kAllBoxes[i] != touched) {
        ASSERT_EQ(now[i], snapshot_[i]) << boxName(kAllBoxes[i]) << " changed untouched";
      }
    }
    snapshot_ = now;
  }

  void press() {
    ++totals_.presses;
    int unreadable = 0;
    for (TextBox b : kInputs) {
      try {
        TextToSingle(services_.text(b));
      } catch (const Failure&) {
        ++unreadable;
      }
    }
    const int readBefore = calculator_.readErrorCount();
    const int clickBefore = calculator_.clickErrorCount();
    const size_t shownBefore = shown_.size();

    if (pick(3) == 0) {
      QTest::keyClick(window_.calculateButton(), Qt::Key_Space);
    } else {
      QTest::mouseClick(window_.calculateButton(), Qt::LeftButton);
    }

    const int read = calculator_.readErrorCount();
    const int click = calculator_.clickErrorCount();
    ASSERT_GE(read, readBefore);
    ASSERT_GE(click, clickBefore);
    const bool over = read > kLimit || click > kLimit;
    ASSERT_EQ(calculator_.ended(), over) << "read " << read << ", click " << click;

    int fills = 0;
    int warnings = 0;
    for (size_t i = shownBefore; i < shown_.size(); ++i) {
      const Shown& m = shown_[i];
      if (m.title == "Error") {
        EXPECT_EQ(m.text, kFill);
        EXPECT_EQ(m.icon, QMessageBox::Critical);
        ++fills;
      } else if (m.title == "Warning") {
        EXPECT_EQ(m.text, kDuty);
        EXPECT_EQ(m.icon, QMessageBox::Information);
        ++warnings;
      } else {
        EXPECT_EQ(m.title, "End");
        EXPECT_TRUE(calculator_.ended() && i + 1 == shown_.size()) << "End without the end";
      }
    }
    EXPECT_LE(fills, 1);
    if (calculator_.ended()) {
      return;  // checkEnded() takes it from here
    }
    EXPECT_EQ(read - readBefore, unreadable);
    EXPECT_EQ(fills, unreadable > 0 ? 1 : 0);

    const std::vector<QString> now = texts();
    for (size_t i = 0; i < kAllBoxes.size(); ++i) {
      const TextBox b = kAllBoxes[i];
      if (b >= TextBox::Text6_0) {
        EXPECT_TRUE(invariants::isResultText(now[i].toStdString()))
            << boxName(b) << " holds \"" << now[i].left(80).toStdString() << "\"";
      } else if (b == TextBox::t && warnings == 1) {
        // The duty limit wrote the period into t; it reads back as the period.
        EXPECT_EQ(TextToSingle(now[i].toStdString()), calculator_.inputs().T);
      } else {
        EXPECT_EQ(now[i], snapshot_[i]) << boxName(b) << " changed in a press";
      }
    }
    EXPECT_LE(warnings, 1);
    snapshot_ = now;
  }

  std::mt19937_64& rng_;
  Totals& totals_;
  MainWindow window_;
  QtServices services_{window_};
  Calculator calculator_{services_};
  std::vector<Shown> shown_;
  std::vector<QString> snapshot_;
};

TEST(MonkeyTest, TenThousandActionsOnTheRealWindowKeepEveryInvariant) {
  application();
  const uint64_t seed = seedFromEnvironment();
  SCOPED_TRACE(testing::Message() << "replay with RMS_MONKEY_SEED=" << seed);
  std::mt19937_64 rng(seed);
  Totals totals;
  while (totals.actions < kActions && !testing::Test::HasFatalFailure()) {
    ProgramRun run(rng, totals);
    const int status = run.play(std::min(kActionsPerRun, kActions - totals.actions));
    run.checkEnded(status);
  }
  std::cout << "[ monkey ] seed " << seed << ": " << totals.actions << " actions, "
            << totals.presses << " presses, " << totals.messages << " messages, " << totals.runs
            << " runs (" << totals.ended << " ended by a failure), " << totals.longPastes
            << " long pastes, " << totals.refused << " refused\n";
  EXPECT_GE(totals.actions, kActions);
  // The stream must reach the paths it is meant to test.
  EXPECT_GT(totals.ended, 0);
  EXPECT_GE(totals.longPastes, 4);  // digits and junk, at and past the limit
  EXPECT_GT(totals.refused, 0);
}

}  // namespace
}  // namespace rms
