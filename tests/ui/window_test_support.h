// What the main-window tests share: a test main with the program's
// application object and font mapping, a fresh window per case, real input,
// and a watcher that reads and dismisses the error boxes that come up.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFont>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

#include "Unit1.h"
#include "application.h"
#include "radio_group.h"

namespace window_test {

// The family that the stored layout names, and the installed fonts that the
// program maps it to at start-up.
inline const QString kWindowFontFamily = QStringLiteral("ＭＳ Ｐゴシック");
inline const QStringList kInstalledGothics = {QStringLiteral("IPAPGothic"),
                                              QStringLiteral("Noto Sans CJK JP")};

// Runs the test object under the program's own application object, so that
// an error escaping a handler comes up in the real error box.
inline int RunWindowTests(QObject& tests, int argc, char** argv)
{
    QFont::insertSubstitutions(kWindowFontFamily, kInstalledGothics);
    TApplication application(argc, argv);
    // Closing the window under test must not end anything else.
    QApplication::setQuitOnLastWindowClosed(false);
    return QTest::qExec(&tests, argc, argv);
}

// A main window as the program creates it: it shows itself; the tests wait
// until it is active, as the user would.
inline std::unique_ptr<TForm1> OpenWindow()
{
    auto form = std::make_unique<TForm1>();
    Form1 = form.get();
    if (!QTest::qWaitForWindowActive(form.get())) qWarning("the main window did not become active");
    return form;
}

inline void CloseWindow(std::unique_ptr<TForm1>& form)
{
    Form1 = nullptr;
    form.reset();
}

inline QWidget* Focused() { return QApplication::focusWidget(); }

// A key as the user types it: to whatever has the focus.
inline void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = Focused();
    if (target == nullptr) target = QApplication::activeWindow();
    QTest::keyClick(target, key, modifiers);
}

inline void Click(QWidget* widget, QPoint at = {})
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at.isNull() ? widget->rect().center() : at);
}

// Clicks the bore item unless it is already the selected one.
inline void ChooseBore(TForm1& form, int itemIndex)
{
    if (form.RadioGroup1->ItemIndex() != itemIndex) Click(form.RadioGroup1->ItemButton(itemIndex));
}

// Replaces the pressure text by typing, as the user would after a click into
// the box.
inline void TypePressure(TForm1& form, const QString& text)
{
    Click(form.Edit1);
    QTest::keyClick(form.Edit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form.Edit1, Qt::Key_Backspace);
    QTest::keyClicks(form.Edit1, text);
}

// Every error box that comes up while an action runs: its text is recorded,
// whileUp runs while it is still showing, and its OK button dismisses it.
class ErrorBoxes {
public:
    QStringList Run(const std::function<void()>& action, const std::function<void()>& whileUp = {})
    {
        QStringList texts;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) return;
            texts.append(box->text());
            if (whileUp) whileUp();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                ok->click();
            } else {
                box->reject();
            }
        });
        poll.start();
        action();
        QCoreApplication::processEvents();
        return texts;
    }
};

}  // namespace window_test
