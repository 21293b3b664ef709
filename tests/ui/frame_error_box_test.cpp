// Error boxes as the user meets them: each error the calculate button can
// raise, read back from the box while it is up, the state of the window
// during and after it, and the separator re-read on a locale change.
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <stdexcept>

#include "Unit1.h"
#include "application.h"
#include "discharge.h"
#include "error_guard.h"
#include "errors.h"
#include "radio_group.h"
#include "start_up.h"

Q_DECLARE_METATYPE(std::function<void()>)

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 kHugeBoxLimitMs = 10000;  // every access is checked
#else
constexpr qint64 kHugeBoxLimitMs = 2000;
#endif

const QString kTitle = QString::fromUtf16(kProgramTitle);

// What a box showed while it was up.
struct SeenBox {
    int count = 0;
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    qsizetype buttonCount = 0;
    QMessageBox::StandardButtons standardButtons;
    QString detailedText;
    QString informativeText;
    bool hasCheckBox = false;
    Qt::TextFormat textFormat = Qt::AutoText;
    Qt::WindowModality modality = Qt::NonModal;
    QWidget* parent = nullptr;
    bool mainWindowTookInput = false;
    qint64 shownAfterMs = -1;
    QStringList visibleLabelTexts;
};

class ErrorBoxWatcher {
public:
    // Runs trigger; every message box that comes up meanwhile is read, given
    // whileUp, and dismissed with its OK button.
    SeenBox Run(const std::function<void()>& trigger, const std::function<bool()>& whileUp = {})
    {
        SeenBox seen;
        QElapsedTimer clock;
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) return;
            ++seen.count;
            seen.shownAfterMs = clock.elapsed();
            for (const QLabel* label : box->findChildren<QLabel*>()) {
                if (label->isVisible() && !label->text().isEmpty()) seen.visibleLabelTexts.append(label->text());
            }
            seen.text = box->text();
            seen.caption = box->windowTitle();
            seen.icon = box->icon();
            seen.buttonCount = box->buttons().size();
            seen.standardButtons = box->standardButtons();
            seen.detailedText = box->detailedText();
            seen.informativeText = box->informativeText();
            seen.hasCheckBox = box->checkBox() != nullptr;
            seen.textFormat = box->textFormat();
            seen.modality = box->windowModality();
            seen.parent = box->parentWidget();
            if (whileUp) seen.mainWindowTookInput = whileUp();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->click();
        });
        poll.start();
        clock.start();
        trigger();
        QCoreApplication::processEvents();
        return seen;
    }
};

void SelectBore(int itemIndex)
{
    QRadioButton* item = Form1->RadioGroup1->ItemButton(itemIndex);
    QVERIFY(item != nullptr);
    QTest::mouseClick(item, Qt::LeftButton);
    QCOMPARE(Form1->RadioGroup1->ItemIndex(), itemIndex);
}

void SendLocaleChange()
{
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(Application, &change);
}

void Calculate(const QString& pressure)
{
    Form1->Edit1->setText(pressure);
    QTest::mouseClick(Form1->Button1, Qt::LeftButton);
}

class FrameErrorBoxTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Form1 = new TForm1;
        Application->SetMainWindow(Form1);
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        Form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
    }

    void cleanupTestCase()
    {
        delete Form1;
        Form1 = nullptr;
    }

    // Every case starts from a window with known results: 3.5 at 13 mm.
    void init()
    {
        SelectBore(1);
        const SeenBox seen = watcher_.Run([] { Calculate(QStringLiteral("3.5")); });
        QCOMPARE(seen.count, 0);
        QCOMPARE(Form1->Label1->text(), QStringLiteral("206"));
        QCOMPARE(Form1->Label7->text(), QStringLiteral("0.34"));
    }

    void calculateErrorShowsOneBoxAndTheWindowRecovers_data()
    {
        QTest::addColumn<int>("bore");
        QTest::addColumn<QString>("pressure");
        QTest::addColumn<QString>("boxText");
        QTest::addColumn<QString>("discharge");
        QTest::addColumn<QString>("megapascals");

        const QString invalidOp = QStringLiteral("不正な浮動小数点数演算命令.");
        QTest::newRow("empty text") << 1 << QString() << QStringLiteral("'' は浮動小数点数ではありません.")
                                    << "206" << "0.34";
        QTest::newRow("two blanks") << 1 << QStringLiteral("  ")
                                    << QStringLiteral("'  ' は浮動小数点数ではありません.") << "206" << "0.34";
        QTest::newRow("markup shown as typed")
            << 1 << QStringLiteral("<b>1</b>") << QStringLiteral("'<b>1</b>' は浮動小数点数ではありません.")
            << "206" << "0.34";
        QTest::newRow("negative pressure") << 1 << QStringLiteral("-1") << invalidOp << "206" << "0.34";
        QTest::newRow("overflow") << 1 << QStringLiteral("1e309")
                                  << QStringLiteral("浮動小数点数のオーバーフロー.") << "206" << "0.34";
        // The discharge is shown before the MPa step fails; the MPa box keeps
        // its old text.
        QTest::newRow("MPa out of range at 8 mm") << 0 << QStringLiteral("1e20") << invalidOp
                                                  << "417920000000" << "0.34";
    }

    void calculateErrorShowsOneBoxAndTheWindowRecovers()
    {
        QFETCH(int, bore);
        QFETCH(QString, pressure);
        QFETCH(QString, boxText);
        QFETCH(QString, discharge);
        QFETCH(QString, megapascals);

        if (bore != 1) SelectBore(bore);
        const SeenBox seen = watcher_.Run([&] { Calculate(pressure); });

        QCOMPARE(seen.count, 1);
        QCOMPARE(seen.text, boxText);
        QCOMPARE(seen.caption, kTitle);
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttonCount, 1);
        QCOMPARE(seen.standardButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(seen.detailedText.isEmpty());
        QVERIFY(seen.informativeText.isEmpty());
        QVERIFY(!seen.hasCheckBox);
        QCOMPARE(seen.textFormat, Qt::PlainText);
        QCOMPARE(seen.modality, Qt::ApplicationModal);
        QCOMPARE(seen.parent, static_cast<QWidget*>(Form1));

        QCOMPARE(Form1->Label1->text(), discharge);
        QCOMPARE(Form1->Label7->text(), megapascals);
        QCOMPARE(Form1->Edit1->text(), pressure);
        QCOMPARE(Form1->RadioGroup1->ItemIndex(), bore);
        QVERIFY(Form1->isEnabled());
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(Form1));

        // A valid calculation afterwards gives the normal results.
        SelectBore(1);
        const SeenBox after = watcher_.Run([] { Calculate(QStringLiteral("3.5")); });
        QCOMPARE(after.count, 0);
        QCOMPARE(Form1->Label1->text(), QStringLiteral("206"));
        QCOMPARE(Form1->Label7->text(), QStringLiteral("0.34"));
    }

    // Input reaches the window through the platform, where a modal box
    // blocks it; the same input after the box proves the path works.
    void mainWindowTakesNoInputWhileTheBoxIsUp()
    {
        QWindow* window = Form1->windowHandle();
        QVERIFY(window != nullptr);
        const QPoint calculateButton = Form1->Button1->geometry().center();
        const SeenBox seen = watcher_.Run(
            [] { Calculate(QString()); },
            [&] {
                Form1->Edit1->setFocus();
                QTest::keyClick(window, Qt::Key_5);
                QTest::mouseClick(window, Qt::LeftButton, {}, calculateButton);
                return !Form1->Edit1->text().isEmpty() || Form1->Label1->text() != QStringLiteral("206");
            });
        QCOMPARE(seen.count, 1);
        QVERIFY2(!seen.mainWindowTookInput, "the main window took input while the box was up");
        QVERIFY(Form1->Edit1->text().isEmpty());

        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(Form1));
        Form1->Edit1->setFocus();
        QTest::keyClick(window, Qt::Key_5);
        QCOMPARE(Form1->Edit1->text(), QStringLiteral("5"));
        const SeenBox after = watcher_.Run([&] { QTest::mouseClick(window, Qt::LeftButton, {}, calculateButton); });
        QCOMPARE(after.count, 0);
        QCOMPARE(Form1->Label1->text(), QStringLiteral("247"));
    }

    // A pasted megabyte comes back quoted in its error. The box holds the
    // whole text but shows its beginning and its end, and comes up at once.
    void hugeTextBoxComesUpPromptlyAndKeepsTheWholeText()
    {
        const QString pasted = QString(1'000'000, QLatin1Char('9')) + QStringLiteral("x");
        const QString boxText = QStringLiteral("'") + pasted + QStringLiteral("' は浮動小数点数ではありません.");
        Form1->Edit1->setText(pasted);
        const SeenBox seen = watcher_.Run([] { QTest::mouseClick(Form1->Button1, Qt::LeftButton); });

        QCOMPARE(seen.count, 1);
        qInfo("box for a 1 MB text up %lld ms after the click", static_cast<long long>(seen.shownAfterMs));
        QVERIFY2(seen.shownAfterMs < kHugeBoxLimitMs, qPrintable(QStringLiteral("box after %1 ms").arg(seen.shownAfterMs)));
        QVERIFY(seen.text == boxText);
        QCOMPARE(seen.visibleLabelTexts.size(), 1);
        const QString shown = seen.visibleLabelTexts.front();
        QVERIFY(shown.size() < 2000);
        QVERIFY(shown.startsWith(QStringLiteral("'999")));
        QVERIFY(shown.contains(QStringLiteral("…")));
        QVERIFY(shown.endsWith(QStringLiteral("9x' は浮動小数点数ではありません.")));
    }

    void reportErrorCaptionIsTheTitleAsItStands()
    {
        Application->SetTitle(QStringLiteral("renamed"));
        const SeenBox seen = watcher_.Run([] { Application->ReportError(calc::EOverflow()); });
        Application->SetTitle(kTitle);
        QCOMPARE(seen.count, 1);
        QCOMPARE(seen.caption, QStringLiteral("renamed"));
    }

    void guardReportsEveryErrorOfTheFamilyAndSilencesAbort_data()
    {
        QTest::addColumn<std::function<void()>>("handler");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<QString>("boxText");

        QTest::newRow("convert error") << std::function<void()>([] { throw calc::EConvertError("x"); }) << 1
                                       << QStringLiteral("'x' は浮動小数点数ではありません.");
        QTest::newRow("standard error, text ending in a letter")
            << std::function<void()>([] { throw std::runtime_error("out of memory"); }) << 1
            << QStringLiteral("out of memory.");
        QTest::newRow("standard error, text ending in a period")
            << std::function<void()>([] { throw std::runtime_error("stopped."); }) << 1 << QStringLiteral("stopped.");
        QTest::newRow("abort") << std::function<void()>([] { throw calc::EAbort(); }) << 0 << QString();
        struct QuietStop : calc::EAbort {
            QuietStop() : calc::EAbort("quiet") {}
        };
        QTest::newRow("kind of abort") << std::function<void()>([] { throw QuietStop(); }) << 0 << QString();
        QTest::newRow("no error") << std::function<void()>([] {}) << 0 << QString();
    }

    void guardReportsEveryErrorOfTheFamilyAndSilencesAbort()
    {
        QFETCH(std::function<void()>, handler);
        QFETCH(int, boxes);
        QFETCH(QString, boxText);

        const SeenBox seen = watcher_.Run([&] { Guard(handler)(); });
        QCOMPARE(seen.count, boxes);
        if (boxes > 0) QCOMPARE(seen.text, boxText);
        QCOMPARE(Form1->Label1->text(), QStringLiteral("206"));
    }

    void abortReportedAsStandardExceptionShowsNothing()
    {
        const SeenBox seen = watcher_.Run([] {
            const calc::EAbort abort;
            Application->ReportError(static_cast<const std::exception&>(abort));
        });
        QCOMPARE(seen.count, 0);
    }

    // The separator follows the user's locale after a change notice; texts
    // already shown keep theirs.
    void localeChangeRereadsTheDecimalSeparator()
    {
        const QByteArray previous = qgetenv("LC_ALL");
        qputenv("LC_ALL", "de_DE.UTF-8");
        SendLocaleChange();
        const QString shownBefore = Form1->Label7->text();

        const SeenBox german = watcher_.Run([] { Calculate(QStringLiteral("1,7")); });
        const QString discharge = Form1->Label1->text();
        const QString megapascals = Form1->Label7->text();
        const SeenBox pointRejected = watcher_.Run([] { Calculate(QStringLiteral("3.5")); });

        qputenv("LC_ALL", previous);
        SendLocaleChange();
        const SeenBox back = watcher_.Run([] { Calculate(QStringLiteral("3.5")); });

        QCOMPARE(shownBefore, QStringLiteral("0.34"));
        QCOMPARE(german.count, 0);
        QCOMPARE(discharge, QStringLiteral("144"));
        QCOMPARE(megapascals, QStringLiteral("0,17"));
        QCOMPARE(pointRejected.count, 1);
        QCOMPARE(pointRejected.text, QStringLiteral("'3.5' は浮動小数点数ではありません."));
        QCOMPARE(back.count, 0);
        QCOMPARE(Form1->Label7->text(), QStringLiteral("0.34"));
    }

private:
    ErrorBoxWatcher watcher_;
};

}  // namespace

int main(int argc, char** argv)
{
    TApplication application(argc, argv);
    application.SetTitle(kTitle);
    FrameErrorBoxTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "frame_error_box_test.moc"
