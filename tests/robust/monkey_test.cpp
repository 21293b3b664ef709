// A monkey on the window: tens of thousands of random keys, clicks, pastes
// and bore changes from a fixed seed, with every error box answered as soon
// as it shows. After every event the calculation's bore is the bore of the
// selected item, and each result box is empty or shows a text that the
// result formatter could have written. A crash or a hang fails the test (the
// hang through the test's time limit).
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <array>
#include <cstdint>
#include <memory>
#include <random>

#include "Unit1.h"
#include "radio_group.h"
#if __has_include("result_box.h")
#include "result_box.h"  // the result boxes' own class, where the window has one
#endif
#include "robust_support.h"

namespace {

constexpr int kEvents = 20000;
constexpr std::uint32_t kSeed = 0x5EED2024;

// Keys a user may press anywhere in the window: the characters of numbers
// and of common mistakes, editing and focus keys, and the Enter keys.
constexpr std::array kKeys{
    Qt::Key_0, Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5, Qt::Key_6, Qt::Key_7,
    Qt::Key_8, Qt::Key_9, Qt::Key_Period, Qt::Key_Comma, Qt::Key_E, Qt::Key_Plus, Qt::Key_Minus,
    Qt::Key_Space, Qt::Key_Percent, Qt::Key_N, Qt::Key_X, Qt::Key_Backspace, Qt::Key_Delete,
    Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End,
    Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape,
};

// Texts pasted now and then: numbers in and out of range, and rubbish.
const std::array<QString, 12> kPastes{
    QStringLiteral("3.5"), QStringLiteral("1e20"), QStringLiteral("-1"), QStringLiteral("1e309"),
    QStringLiteral("6.985213455123929e33"), QStringLiteral("0.49999999999999994"), QStringLiteral("%n%s"),
    QStringLiteral("1,5"), QStringLiteral("  17  "), QStringLiteral("\t\n"), QStringLiteral("９"),
    QStringLiteral("1E4999"),
};

double BoreOf(int itemIndex)
{
    switch (itemIndex) {
    case 0: return 8;
    case 1: return 13;
    case 2: return 19;
    default: return -1;
    }
}

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { robust::QuietOffscreenNotes(); }

    void randomEventsKeepTheWindowConsistent()
    {
        robust::BoxDismisser boxes;
        auto form = std::make_unique<TForm1>();
        Form1 = form.get();
        Application->SetMainWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));

        std::mt19937 random(kSeed);
        const auto below = [&random](std::uint32_t n) { return static_cast<int>(random() % n); };
        int presses = 0;
        int boxCount = 0;
        int reopenings = 0;
        QElapsedTimer clock;
        clock.start();

        for (int event = 0; event < kEvents; ++event) {
            boxes.Arm();
            const int kind = below(100);
            QWidget* focus = QApplication::focusWidget();
            if (kind < 40) {
                const Qt::Key key = kKeys[static_cast<std::size_t>(below(kKeys.size()))];
                const Qt::KeyboardModifiers modifiers = below(10) == 0 ? Qt::ShiftModifier : Qt::NoModifier;
                QTest::keyClick(focus != nullptr ? focus : form.get(), key, modifiers);
            } else if (kind < 50) {
                // A fresh number typed over the whole entry, so that many
                // presses reach the results: digits, maybe a fraction and an
                // exponent, from tiny to beyond the ranges.
                QString number = QString::number(below(1000000));
                if (below(2) == 0) number += QLatin1Char('.') + QString::number(below(1000));
                if (below(3) == 0) number += QLatin1Char('e') + QString::number(below(80) - 30);
                QTest::keyClick(form->Edit1, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(form->Edit1, number);
            } else if (kind < 65) {
                ++presses;
                QTest::mouseClick(form->Button1, Qt::LeftButton);
            } else if (kind < 75) {
                QRadioButton* item = form->RadioGroup1->ItemButton(below(3));
                QTest::mouseClick(item, Qt::LeftButton);
            } else if (kind < 83) {
                QTest::mouseClick(form->Edit1, Qt::LeftButton, Qt::NoModifier,
                                  QPoint(below(static_cast<std::uint32_t>(form->Edit1->width())), form->Edit1->height() / 2));
            } else if (kind < 92) {
                // Anywhere in the window: captions, result boxes, the group's frame.
                QTest::mouseClick(form.get(), Qt::LeftButton, Qt::NoModifier,
                                  QPoint(below(static_cast<std::uint32_t>(form->width())),
                                         below(static_cast<std::uint32_t>(form->height()))));
            } else if (kind < 97) {
                QGuiApplication::clipboard()->setText(kPastes[static_cast<std::size_t>(below(kPastes.size()))]);
                QTest::keyClick(form->Edit1, Qt::Key_V, Qt::ControlModifier);
            } else if (kind < 99) {
                QTest::keyClick(form->Edit1, Qt::Key_A, Qt::ControlModifier);
            } else {
                // 終了, as a user may press it by mistake: the window closes
                // and is opened again.
                QTest::mouseClick(form->Button2, Qt::LeftButton);
            }
            QCoreApplication::processEvents();
            boxCount += static_cast<int>(boxes.Texts().size());

            if (!form->isVisible()) {
                ++reopenings;
                form->show();
                QVERIFY(QTest::qWaitForWindowActive(form.get()));
            }

            const int itemIndex = form->RadioGroup1->ItemIndex();
            QVERIFY2(calc::NozzleBore == BoreOf(itemIndex),
                     qPrintable(QStringLiteral("event %1: item %2, bore %3").arg(event).arg(itemIndex).arg(calc::NozzleBore)));
            for (QLabel* result : {form->Label1, form->Label7}) {
                const QString shown = result->text();
                QVERIFY2(shown.isEmpty() || robust::IsResultText(shown),
                         qPrintable(QStringLiteral("event %1: result box shows \"%2\"").arg(event).arg(shown)));
            }
            QVERIFY2(QApplication::activeModalWidget() == nullptr, "an error box is still up");
        }
        qInfo("%d events (%d presses of 計算, %d error boxes, %d reopenings) in %.1f s", kEvents, presses,
              boxCount, reopenings, static_cast<double>(clock.elapsed()) / 1000);
        QVERIFY(presses > kEvents / 10);
        QVERIFY(boxCount > 0);
        Form1 = nullptr;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    MonkeyTest tests;
    return robust::RunTests(tests, argc, argv);
}

#include "monkey_test.moc"
