// What the robustness tests of the window share: the program's application
// object around a Qt Test object, a dismisser that answers every error box
// as soon as it is up (and says when that was), and the check that a result
// box shows a text the result formatter could have written.
#pragma once

#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QtTest>

#include <string>

#include "application.h"
#include "discharge.h"
#include "start_up.h"

namespace robust {

// Runs the tests under the program's own application object and font
// mapping; a closed window must not end the test.
inline int RunTests(QObject& tests, int argc, char** argv)
{
    calc::ReadDecimalMark();
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    TApplication application(argc, argv);
    application.SetTitle(QString::fromUtf16(kProgramTitle));
    QApplication::setQuitOnLastWindowClosed(false);
    return QTest::qExec(&tests, argc, argv);
}

// Drops the offscreen platform's note that it cannot pass size hints on,
// which every error box would otherwise print; other messages go through.
inline QtMessageHandler previousHandler = nullptr;
inline void QuietOffscreenNotes()
{
    previousHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && text.contains(QStringLiteral("does not support propagateSizeHints"))) return;
        if (previousHandler != nullptr) previousHandler(type, context, text);
    });
}

// Dismisses every error box with its OK button as soon as it shows, from a
// timer that runs inside the box's own modal loop. Records each box's text
// and how long after Arm() the first one was up.
class BoxDismisser {
public:
    BoxDismisser()
    {
        showSpy_.onBoxPainted = [this] {
            if (firstBoxMs_ < 0 && clock_.isValid()) firstBoxMs_ = static_cast<double>(clock_.nsecsElapsed()) / 1e6;
        };
        qApp->installEventFilter(&showSpy_);
        poll_.setInterval(0);
        QObject::connect(&poll_, &QTimer::timeout, [this] { DismissVisibleBox(); });
        poll_.start();
    }

    void Arm()
    {
        texts_.clear();
        firstBoxMs_ = -1;
        clock_.start();
    }

    const QStringList& Texts() const { return texts_; }
    double FirstBoxMs() const { return firstBoxMs_; }

private:
    void DismissVisibleBox()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        if (firstBoxMs_ < 0 && clock_.isValid()) firstBoxMs_ = static_cast<double>(clock_.nsecsElapsed()) / 1e6;
        texts_.append(box->text());
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
            ok->click();
        } else {
            box->reject();
        }
    }

    // The box counts as up when it first paints itself, whatever else the
    // loop repaints afterwards.
    struct PaintSpy : QObject {
        std::function<void()> onBoxPainted;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && qobject_cast<QMessageBox*>(watched) != nullptr) onBoxPainted();
            return false;
        }
    };

    PaintSpy showSpy_;
    QTimer poll_;
    QElapsedTimer clock_;
    QStringList texts_;
    double firstBoxMs_ = -1;
};

// True when text is one that FormatResultText writes: a non-negative number
// of digits, DecimalMark, "E" and "-" that reads back and formats to itself.
inline bool IsResultText(const QString& text)
{
    const std::string bytes = text.toStdString();
    if (bytes.empty() || bytes.front() == '-') return false;
    for (char c : bytes) {
        if (!((c >= '0' && c <= '9') || c == calc::DecimalMark || c == 'E' || c == '-')) return false;
    }
    try {
        return calc::FormatResultText(calc::ParsePressureText(bytes).ToDouble()) == bytes;
    } catch (const calc::Exception&) {
        return false;
    }
}

// The box text of a pressure text that is not a number.
inline QString NotANumberBox(const QString& pressure)
{
    return QStringLiteral("'") + pressure + QStringLiteral("' は浮動小数点数ではありません.");
}

}  // namespace robust
