// The main window driven as the user drives it: typed pressures, clicks and
// keys, the results they show, the bore they select, and the error boxes that
// the calculate button can raise.
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "Unit1.h"
#include "discharge.h"
#include "radio_group.h"
#include "window_test_support.h"

using namespace window_test;

namespace {

const QString kNotANumber = QStringLiteral("'%1' は浮動小数点数ではありません.");
const QString kInvalidOp = QStringLiteral("不正な浮動小数点数演算命令.");
const QString kOverflow = QStringLiteral("浮動小数点数のオーバーフロー.");

// The bore of each item of the group.
constexpr double kBores[] = {8, 13, 19};

// A value that no handler would ever store: it shows whether one ran.
constexpr double kUntouched = -12345.0;

// Counts the close requests that reach a window.
class CloseRequests : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) ++count;
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

class WindowBehaviourTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TForm1> form_;

    void Calculate() { Click(form_->Button1); }

    void ExpectResults(const QString& discharge, const QString& mpa)
    {
        QCOMPARE(form_->Label1->text(), discharge);
        QCOMPARE(form_->Label7->text(), mpa);
    }

private slots:
    void init()
    {
        calc::NozzleBore = 0;
        calc::Pressure = kUntouched;
        calc::Discharge = kUntouched;
        form_ = OpenWindow();
    }

    void cleanup() { CloseWindow(form_); }

    void startsWith13mmAnEmptyFocusedEntryAndEmptyResults()
    {
        QVERIFY(form_->isVisible());
        QCOMPARE(form_->RadioGroup1->ItemIndex(), 1);
        QVERIFY(form_->RadioGroup1->ItemButton(1)->isChecked());
        // FormCreate ran: the bore is set although no item was clicked.
        QCOMPARE(calc::NozzleBore, 13.0);
        // Nothing calculated.
        QCOMPARE(calc::Pressure, kUntouched);
        QCOMPARE(calc::Discharge, kUntouched);
        QCOMPARE(form_->Edit1->text(), QString());
        QCOMPARE(Focused(), form_->Edit1);
        ExpectResults(QString(), QString());
    }

    void calculatesFromTypedPressureAndChosenBore_data()
    {
        QTest::addColumn<int>("itemIndex");
        QTest::addColumn<QString>("pressure");
        QTest::addColumn<QString>("discharge");
        QTest::addColumn<QString>("mpa");
        QTest::newRow("13mm 3.5") << 1 << "3.5" << "206" << "0.34";
        QTest::newRow("19mm 3.5") << 2 << "3.5" << "441" << "0.34";
        QTest::newRow(" 8mm 3.5") << 0 << "3.5" << "78" << "0.34";
        QTest::newRow(" 8mm 1") << 0 << "1" << "42" << "0.1";
        QTest::newRow("13mm 1") << 1 << "1" << "110" << "0.1";
        QTest::newRow("19mm 1") << 2 << "1" << "236" << "0.1";
        QTest::newRow("13mm 1.7") << 1 << "1.7" << "144" << "0.17";
        QTest::newRow("19mm 100 with blanks") << 2 << "  100 " << "2357" << "9.81";
    }

    void calculatesFromTypedPressureAndChosenBore()
    {
        QFETCH(int, itemIndex);
        QFETCH(QString, pressure);
        QFETCH(QString, discharge);
        QFETCH(QString, mpa);
        ChooseBore(*form_, itemIndex);
        QCOMPARE(calc::NozzleBore, kBores[itemIndex]);
        TypePressure(*form_, pressure);
        ErrorBoxes boxes;
        QCOMPARE(boxes.Run([&] { Calculate(); }), QStringList());
        ExpectResults(discharge, mpa);
        // The calculation changes neither the text nor the bore.
        QCOMPARE(form_->Edit1->text(), pressure);
        QCOMPARE(calc::NozzleBore, kBores[itemIndex]);
    }

    void resultsStayUntilTheNextCalculation()
    {
        TypePressure(*form_, "3.5");
        Calculate();
        ExpectResults("206", "0.34");

        ChooseBore(*form_, 2);
        QCOMPARE(calc::NozzleBore, 19.0);
        ExpectResults("206", "0.34");
        Calculate();
        ExpectResults("441", "0.34");

        ChooseBore(*form_, 0);
        TypePressure(*form_, "1");
        ExpectResults("441", "0.34");
        Calculate();
        ExpectResults("42", "0.1");
    }

    // Clicks and keys that leave the selection as it is run no handler: the
    // bore keeps a value that RadioGroup1Click would have overwritten.
    void keepingTheSelectionRunsNoHandler_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("click on the selected item") << "selected";
        QTest::newRow("Space on the selected item") << "space";
        QTest::newRow("click on the caption") << "caption";
        QTest::newRow("click on the frame beside the items") << "frame";
        QTest::newRow("click below the items") << "below";
    }

    void keepingTheSelectionRunsNoHandler()
    {
        QFETCH(QString, how);
        RadioGroup* group = form_->RadioGroup1;
        QRadioButton* selected = group->ItemButton(group->ItemIndex());
        QSignalSpy clicks(group, &RadioGroup::Click);
        calc::NozzleBore = kUntouched;

        if (how == "selected") {
            Click(selected);
        } else if (how == "space") {
            selected->setFocus(Qt::TabFocusReason);
            QTest::keyClick(selected, Qt::Key_Space);
        } else if (how == "caption") {
            Click(group, QPoint(group->width() / 4, 2));
        } else if (how == "frame") {
            Click(group, QPoint(2, selected->geometry().center().y()));
        } else {
            const QRect last = group->ItemButton(2)->geometry();
            QVERIFY(last.bottom() < group->height() - 2);
            Click(group, QPoint(last.center().x(), group->height() - 2));
        }

        QCOMPARE(clicks.count(), 0);
        QCOMPARE(calc::NozzleBore, kUntouched);
        QCOMPARE(group->ItemIndex(), 1);
        QVERIFY(selected->isChecked());
    }

    void clickOnAnotherItemSelectsFocusesAndRunsTheHandlerOnce()
    {
        RadioGroup* group = form_->RadioGroup1;
        QSignalSpy clicks(group, &RadioGroup::Click);
        // A click to the right of the text still hits the item's row.
        QRadioButton* item = group->ItemButton(2);
        Click(item, QPoint(item->width() - 3, item->height() / 2));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(group->ItemIndex(), 2);
        QCOMPARE(calc::NozzleBore, 19.0);
        QCOMPARE(Focused(), item);
    }

    void arrowKeysMoveFocusAndSelectionRoundTheItems_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("Down from 19mm wraps to 8mm") << 2 << int(Qt::Key_Down) << 0;
        QTest::newRow("Up from 8mm wraps to 19mm") << 0 << int(Qt::Key_Up) << 2;
        QTest::newRow("Right from 19mm wraps to 8mm") << 2 << int(Qt::Key_Right) << 0;
        QTest::newRow("Left from 8mm wraps to 19mm") << 0 << int(Qt::Key_Left) << 2;
        QTest::newRow("Down from 8mm") << 0 << int(Qt::Key_Down) << 1;
        QTest::newRow("Up from 19mm") << 2 << int(Qt::Key_Up) << 1;
        QTest::newRow("Right from 13mm") << 1 << int(Qt::Key_Right) << 2;
        QTest::newRow("Left from 13mm") << 1 << int(Qt::Key_Left) << 0;
    }

    void arrowKeysMoveFocusAndSelectionRoundTheItems()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        RadioGroup* group = form_->RadioGroup1;
        Click(group->ItemButton(from));
        QCOMPARE(Focused(), group->ItemButton(from));
        calc::NozzleBore = kUntouched;
        int indexSeenByHandler = -2;
        connect(group, &RadioGroup::Click, this, [&] { indexSeenByHandler = group->ItemIndex(); });

        PressKey(Qt::Key(key));

        QCOMPARE(Focused(), group->ItemButton(to));
        QVERIFY(group->ItemButton(to)->isChecked());
        QCOMPARE(indexSeenByHandler, to);
        QCOMPARE(calc::NozzleBore, kBores[to]);
        disconnect(group, &RadioGroup::Click, this, nullptr);
    }

    void errorsLeaveTheResultsAsTheFailedStepFoundThem_data()
    {
        QTest::addColumn<int>("itemIndex");
        QTest::addColumn<QString>("before");  // pressure calculated first, if any
        QTest::addColumn<QString>("pressure");
        QTest::addColumn<QString>("boxText");
        QTest::addColumn<QString>("discharge");  // shown while the box is up and after it
        QTest::addColumn<QString>("mpa");
        QTest::addColumn<QString>("recovery");  // Label1 after a press with the text 1

        QTest::newRow("empty text, nothing shown yet") << 1 << "" << "" << kNotANumber.arg("") << "" << "" << "110";
        QTest::newRow("empty text after 3.5") << 1 << "3.5" << "" << kNotANumber.arg("") << "206" << "0.34" << "110";
        QTest::newRow("text abc after 3.5") << 2 << "3.5" << "abc" << kNotANumber.arg("abc") << "441" << "0.34" << "236";
        QTest::newRow("-1 after 3.5") << 1 << "3.5" << "-1" << kInvalidOp << "206" << "0.34" << "110";
        QTest::newRow("1e309 after 3.5") << 0 << "3.5" << "1e309" << kOverflow << "78" << "0.34" << "42";
        QTest::newRow("1e20 with 8mm, nothing shown yet") << 0 << "" << "1e20" << kInvalidOp << "417920000000" << "" << "42";
        QTest::newRow("1e20 with 8mm after 3.5") << 0 << "3.5" << "1e20" << kInvalidOp << "417920000000" << "0.34" << "42";
    }

    void errorsLeaveTheResultsAsTheFailedStepFoundThem()
    {
        QFETCH(int, itemIndex);
        QFETCH(QString, before);
        QFETCH(QString, pressure);
        QFETCH(QString, boxText);
        QFETCH(QString, discharge);
        QFETCH(QString, mpa);
        QFETCH(QString, recovery);
        ChooseBore(*form_, itemIndex);
        ErrorBoxes boxes;
        if (!before.isEmpty()) {
            TypePressure(*form_, before);
            QCOMPARE(boxes.Run([&] { Calculate(); }), QStringList());
        }
        TypePressure(*form_, pressure);

        QString dischargeWhileUp = QStringLiteral("(no box)");
        const QStringList texts =
            boxes.Run([&] { Calculate(); }, [&] { dischargeWhileUp = form_->Label1->text(); });

        QCOMPARE(texts, QStringList{boxText});
        QCOMPARE(dischargeWhileUp, discharge);
        ExpectResults(discharge, mpa);
        QCOMPARE(form_->Edit1->text(), pressure);
        QCOMPARE(form_->RadioGroup1->ItemIndex(), itemIndex);
        QCOMPARE(calc::NozzleBore, kBores[itemIndex]);
        QVERIFY(form_->isVisible());

        // The window goes on as if nothing had happened.
        TypePressure(*form_, "1");
        QCOMPARE(boxes.Run([&] { Calculate(); }), QStringList());
        ExpectResults(recovery, "0.1");
    }

    void tabVisitsEntryButtonsAndTheSelectedItem_data()
    {
        QTest::addColumn<int>("itemIndex");
        QTest::newRow("13mm selected") << 1;
        QTest::newRow("8mm selected") << 0;
        QTest::newRow("19mm selected") << 2;
    }

    void tabVisitsEntryButtonsAndTheSelectedItem()
    {
        QFETCH(int, itemIndex);
        ChooseBore(*form_, itemIndex);
        TypePressure(*form_, "12.5");
        QWidget* const item = form_->RadioGroup1->ItemButton(itemIndex);
        const QList<QWidget*> forward = {form_->Button1, form_->Button2, item, form_->Edit1,
                                         form_->Button1};
        for (QWidget* expected : forward) {
            PressKey(Qt::Key_Tab);
            QCOMPARE(Focused(), expected);
            if (expected == form_->Edit1) QCOMPARE(form_->Edit1->selectedText(), QStringLiteral("12.5"));
        }
        const QList<QWidget*> backward = {form_->Edit1, item, form_->Button2, form_->Button1,
                                          form_->Edit1};
        for (QWidget* expected : backward) {
            form_->Edit1->deselect();
            PressKey(Qt::Key_Tab, Qt::ShiftModifier);
            QCOMPARE(Focused(), expected);
            if (expected == form_->Edit1) QCOMPARE(form_->Edit1->selectedText(), QStringLiteral("12.5"));
        }
        // Moving through the group by Tab selects nothing new.
        QCOMPARE(form_->RadioGroup1->ItemIndex(), itemIndex);
    }

    void enterInTheEntryBoxDoesNothing_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }

    void enterInTheEntryBoxDoesNothing()
    {
        QFETCH(int, key);
        TypePressure(*form_, "3.5");
        ErrorBoxes boxes;
        QCOMPARE(boxes.Run([&] { PressKey(Qt::Key(key)); }), QStringList());
        ExpectResults(QString(), QString());
        QCOMPARE(calc::Pressure, kUntouched);
        QCOMPARE(Focused(), form_->Edit1);
        QCOMPARE(form_->Edit1->text(), QStringLiteral("3.5"));
    }

    void enterOrSpaceOnTheCalculateButtonCalculates_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }

    void enterOrSpaceOnTheCalculateButtonCalculates()
    {
        QFETCH(int, key);
        TypePressure(*form_, "3.5");
        PressKey(Qt::Key_Tab);
        QCOMPARE(Focused(), form_->Button1);
        PressKey(Qt::Key(key));
        ExpectResults("206", "0.34");
    }

    // Keys without a meaning here: no button is a default or cancel button
    // and no help is attached to anything.
    void escapeAndF1DoNothingAnywhere_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focus");
        for (const auto& [key, name] : {std::pair{Qt::Key_Escape, "Escape"}, std::pair{Qt::Key_F1, "F1"}}) {
            for (const char* focus : {"Edit1", "Button1", "Button2", "item"})
                QTest::addRow("%s on %s", name, focus) << int(key) << QString(focus);
        }
    }

    void escapeAndF1DoNothingAnywhere()
    {
        QFETCH(int, key);
        QFETCH(QString, focus);
        TypePressure(*form_, "3.5");
        Calculate();
        QWidget* target = focus == "Edit1"     ? static_cast<QWidget*>(form_->Edit1)
                          : focus == "Button1" ? static_cast<QWidget*>(form_->Button1)
                          : focus == "Button2" ? static_cast<QWidget*>(form_->Button2)
                                               : form_->RadioGroup1->ItemButton(1);
        target->setFocus(Qt::TabFocusReason);
        calc::NozzleBore = kUntouched;
        calc::Pressure = kUntouched;
        CloseRequests closes;
        form_->installEventFilter(&closes);

        ErrorBoxes boxes;
        QCOMPARE(boxes.Run([&] { PressKey(Qt::Key(key)); }), QStringList());

        QCOMPARE(closes.count, 0);
        QVERIFY(form_->isVisible());
        QCOMPARE(Focused(), target);
        QCOMPARE(QApplication::activeWindow(), form_.get());
        ExpectResults("206", "0.34");
        QCOMPARE(calc::NozzleBore, kUntouched);
        QCOMPARE(calc::Pressure, kUntouched);
        QCOMPARE(form_->Edit1->text(), QStringLiteral("3.5"));
    }

    void theExitButtonClosesTheWindow_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("mouse click") << "click";
        QTest::newRow("Enter with the focus on it") << "enter";
        QTest::newRow("Space with the focus on it") << "space";
    }

    void theExitButtonClosesTheWindow()
    {
        QFETCH(QString, how);
        CloseRequests closes;
        form_->installEventFilter(&closes);
        if (how == "click") {
            Click(form_->Button2);
        } else {
            PressKey(Qt::Key_Tab);
            PressKey(Qt::Key_Tab);
            QCOMPARE(Focused(), form_->Button2);
            PressKey(how == "enter" ? Qt::Key_Return : Qt::Key_Space);
        }
        QCOMPARE(closes.count, 1);
        QVERIFY(!form_->isVisible());
    }

    void typingAndChoosingLeaveTheResultsAlone()
    {
        TypePressure(*form_, "3.5");
        Calculate();
        calc::Pressure = kUntouched;
        calc::Discharge = kUntouched;
        QTest::keyClicks(form_->Edit1, "99");
        QTest::keyClick(form_->Edit1, Qt::Key_Backspace);
        ChooseBore(*form_, 2);
        PressKey(Qt::Key_Down);
        ExpectResults("206", "0.34");
        QCOMPARE(calc::Pressure, kUntouched);
        QCOMPARE(calc::Discharge, kUntouched);
    }
};

int main(int argc, char** argv)
{
    WindowBehaviourTest tests;
    return RunWindowTests(tests, argc, argv);
}

#include "window_behaviour_test.moc"
