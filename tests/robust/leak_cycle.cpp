// One whole run of the program: start-up as the program does it, 1,000
// presses of 計算 with valid and invalid pressures and bore changes (each
// error box answered as soon as it shows), then 終了 and the normal end. Run
// in the sanitizer build, LeakSanitizer then reports every block still
// allocated at exit; the program has none.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <memory>

#include "Unit1.h"
#include "radio_group.h"
#if __has_include("result_box.h")
#include "result_box.h"  // the result boxes' own class, where the window has one
#endif
#include "robust_support.h"
#include "start_up.h"

namespace {

constexpr int kPresses = 1000;

struct Case {
    const char* pressure;
    const char* discharge;  // at 13 mm; nullptr: an error box, results unchanged
    const char* megapascals;
};

const Case kCases[] = {
    {"3.5", "206", "0.34"}, {"abc", nullptr, nullptr},      {"-1", nullptr, nullptr},
    {"1", "110", "0.1"},    {"1e309", nullptr, nullptr},    {"%n%s", nullptr, nullptr},
    {"0.17", "46", "0.02"}, {"", nullptr, nullptr},         {"1e20", "1103570000000", nullptr},
};

int failures = 0;

void Expect(bool ok, int press, const char* what)
{
    if (!ok) {
        ++failures;
        std::fprintf(stderr, "press %d: %s\n", press, what);
    }
}

// Runs inside the message loop once the window is up.
void PressAThousandTimes()
{
    robust::BoxDismisser boxes;
    for (int press = 0; press < kPresses; ++press) {
        const Case& c = kCases[static_cast<std::size_t>(press) % std::size(kCases)];
        // A bore change now and then, back to 13 mm before the press.
        if (press % 7 == 0) QTest::mouseClick(Form1->RadioGroup1->ItemButton(press % 3), Qt::LeftButton);
        QTest::mouseClick(Form1->RadioGroup1->ItemButton(1), Qt::LeftButton);
        Form1->Edit1->setText(QString::fromUtf8(c.pressure));
        boxes.Arm();
        QTest::mouseClick(Form1->Button1, Qt::LeftButton);
        QCoreApplication::processEvents();
        const bool fails = c.discharge == nullptr || c.megapascals == nullptr;
        Expect(boxes.Texts().size() == (fails ? 1 : 0), press, "wrong number of error boxes");
        if (c.discharge != nullptr) Expect(Form1->Label1->text() == QString::fromUtf8(c.discharge), press, "discharge");
        if (c.megapascals != nullptr) Expect(Form1->Label7->text() == QString::fromUtf8(c.megapascals), press, "MPa");
    }
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
}

}  // namespace

int main(int argc, char** argv)
{
    const int exitCode = RunProgram(argc, argv, [] {
        auto window = std::make_unique<TForm1>();
        Form1 = window.get();
        QTimer::singleShot(0, [] { PressAThousandTimes(); });
        return std::unique_ptr<QWidget>(std::move(window));
    });
    Form1 = nullptr;
    std::printf("%d presses, exit code %d, %d failed checks\n", kPresses, exitCode, failures);
    return exitCode == 0 && failures == 0 ? 0 : 1;
}
