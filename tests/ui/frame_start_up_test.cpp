// The program's start-up order, observed from inside: the main window's
// factory runs at the point where the program creates its window, and an
// event filter sees the first window being shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFontInfo>
#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

#include "Unit1.h"
#include "application.h"
#include "discharge.h"
#include "start_up.h"

namespace {

const QString kTitle = QString::fromUtf16(kProgramTitle);

// Notes the application title at the moment the first window is shown.
class FirstShowWatcher : public QObject {
public:
    bool seen = false;
    QString titleAtShow;
    QString windowTitleAtShow;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!seen && event->type() == QEvent::Show && widget != nullptr && widget->isWindow()) {
            seen = true;
            titleAtShow = Application->Title();
            windowTitleAtShow = widget->windowTitle();
        }
        return false;
    }
};

struct StateWhenTheWindowIsCreated {
    bool reached = false;
    char decimalMark = 0;
    bool applicationExists = false;
    QString title;
    QString displayName;
    bool anyWindowVisible = true;
    bool iconDrawn = false;
    bool fontSubstituted = false;
};

TEST(StartUp, RunsInOrderAndEndsWithZeroWhenTheMainWindowCloses)
{
    // The process's environment (set by the test runner) names a German
    // locale: the comma proves that the separator was read from it.
    calc::DecimalMark = '?';
    calc::NozzleBore = 0.0;

    StateWhenTheWindowIsCreated before;
    FirstShowWatcher showWatcher;
    QPointer<QWidget> mainWindow;
    bool visibleAfterCreation = false;
    double boreAfterCreation = 0.0;
    QString labelFontFamily;

    int argc = 1;
    char name[] = "frame_start_up_test";
    char* argv[] = {name, nullptr};
    const int exitCode = RunProgram(argc, argv, [&] {
        before.reached = true;
        before.decimalMark = calc::DecimalMark;
        before.applicationExists = Application != nullptr;
        if (Application != nullptr) {
            before.title = Application->Title();
            before.displayName = QGuiApplication::applicationDisplayName();
            before.anyWindowVisible = false;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                before.anyWindowVisible = before.anyWindowVisible || widget->isVisible();
            }
            before.iconDrawn = !QApplication::windowIcon().pixmap(32, 32).isNull();
            before.fontSubstituted = QFont::substitutes(QStringLiteral("ＭＳ Ｐゴシック"))
                                         .contains(QStringLiteral("IPAPGothic"), Qt::CaseInsensitive);
            Application->installEventFilter(&showWatcher);
        }

        auto window = std::make_unique<TForm1>();
        Form1 = window.get();
        mainWindow = window.get();
        visibleAfterCreation = window->isVisible();
        boreAfterCreation = calc::NozzleBore;
        labelFontFamily = QFontInfo(window->Label2->font()).family();
        // The first event the loop handles closes the window, as the exit
        // button or the window manager would.
        QTimer::singleShot(0, window.get(), &QWidget::close);
        return window;
    });
    Form1 = nullptr;

    ASSERT_TRUE(before.reached);
    EXPECT_EQ(before.decimalMark, ',') << "the separator is read before the window exists";
    EXPECT_TRUE(before.applicationExists);
    EXPECT_EQ(before.title, kTitle);
    EXPECT_EQ(before.displayName, kTitle) << "Qt appends a differing display name to captions";
    EXPECT_FALSE(before.anyWindowVisible);
    EXPECT_TRUE(before.iconDrawn) << "the program icon (SVG) cannot be drawn";
    EXPECT_TRUE(before.fontSubstituted);

    EXPECT_TRUE(visibleAfterCreation) << "the main window shows itself";
    EXPECT_EQ(boreAfterCreation, 13.0);
    EXPECT_EQ(labelFontFamily, QStringLiteral("IPAPGothic"));
    EXPECT_TRUE(showWatcher.seen);
    EXPECT_EQ(showWatcher.titleAtShow, kTitle) << "the title is set before a window shows";
    EXPECT_EQ(showWatcher.windowTitleAtShow, kTitle);

    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(mainWindow.isNull()) << "the main window is destroyed at the end";
    EXPECT_EQ(Application, nullptr) << "the application object is destroyed at the end";
}

}  // namespace
