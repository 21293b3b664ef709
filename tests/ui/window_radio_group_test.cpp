// The bore group on its own: which changes of the selection it reports, its
// tab stop, and how it arranges its items.
#include <QRadioButton>
#include <QSignalSpy>
#include <QWidget>
#include <QtTest>

#include <memory>

#include "radio_group.h"
#include "window_test_support.h"

using namespace window_test;

namespace {

const QStringList kThreeItems = {"one", "two", "three"};

}  // namespace

class RadioGroupTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> window_;
    RadioGroup* group_ = nullptr;

    QList<int> TabStops() const
    {
        QList<int> stops;
        for (int i = 0; i < group_->Items().size(); ++i)
            if (group_->ItemButton(i)->focusPolicy() & Qt::TabFocus) stops.append(i);
        return stops;
    }

    QList<int> CheckedItems() const
    {
        QList<int> checked;
        for (int i = 0; i < group_->Items().size(); ++i)
            if (group_->ItemButton(i)->isChecked()) checked.append(i);
        return checked;
    }

private slots:
    void init()
    {
        window_ = std::make_unique<QWidget>();
        window_->resize(240, 140);
        group_ = new RadioGroup(window_.get());
        group_->setTitle("caption");
        group_->setGeometry(10, 10, 201, 97);
        group_->SetItems(kThreeItems);
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup() { window_.reset(); }

    void theProgramsChangesOfTheSelectionAreNotReported_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("expected");
        QTest::newRow("first") << 0 << 0;
        QTest::newRow("last") << 2 << 2;
        QTest::newRow("none") << -1 << -1;
        QTest::newRow("past the end: none") << 3 << -1;
    }

    void theProgramsChangesOfTheSelectionAreNotReported()
    {
        QFETCH(int, index);
        QFETCH(int, expected);
        group_->SetItemIndex(1);
        QSignalSpy clicks(group_, &RadioGroup::Click);
        // The stored layout reaches the group through its properties.
        QVERIFY(group_->setProperty("itemIndex", index));
        QCOMPARE(group_->ItemIndex(), expected);
        QCOMPARE(CheckedItems(), expected < 0 ? QList<int>{} : QList<int>{expected});
        QCOMPARE(clicks.count(), 0);
    }

    void itemsComeFromAStringListProperty()
    {
        const QStringList texts = {" 8mm\u3000a", "b (40A)"};
        QVERIFY(group_->setProperty("items", texts));
        QCOMPARE(group_->Items(), texts);
        QCOMPARE(group_->property("items").toStringList(), texts);
        QCOMPARE(group_->ItemIndex(), -1);
        QVERIFY(group_->ItemButton(0) != nullptr);
        QCOMPARE(group_->ItemButton(0)->text(), texts[0]);
        QCOMPARE(group_->ItemButton(2), nullptr);
    }

    void onlyTheSelectedItemIsATabStop()
    {
        QCOMPARE(TabStops(), QList<int>{0});  // none selected: the first
        group_->SetItemIndex(2);
        QCOMPARE(TabStops(), QList<int>{2});
        Click(group_->ItemButton(0));
        QCOMPARE(TabStops(), QList<int>{0});
        PressKey(Qt::Key_Up);
        QCOMPARE(TabStops(), QList<int>{2});
        // Every item still takes the focus from the mouse.
        for (int i = 0; i < 3; ++i) QVERIFY(group_->ItemButton(i)->focusPolicy() & Qt::ClickFocus);
    }

    void spaceOnAFocusedItemThatIsNotSelectedSelectsIt()
    {
        group_->SetItemIndex(1);
        QSignalSpy clicks(group_, &RadioGroup::Click);
        group_->ItemButton(0)->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(group_->ItemButton(0), Qt::Key_Space);
        QCOMPARE(group_->ItemIndex(), 0);
        QCOMPARE(CheckedItems(), QList<int>{0});
        QCOMPARE(clicks.count(), 1);
        QTest::keyClick(group_->ItemButton(0), Qt::Key_Space);
        QCOMPARE(clicks.count(), 1);
    }

    void userSelectionIsReportedOnceWithTheNewIndex()
    {
        group_->SetItemIndex(0);
        QList<int> seen;
        connect(group_, &RadioGroup::Click, this, [&] { seen.append(group_->ItemIndex()); });
        Click(group_->ItemButton(2));
        Click(group_->ItemButton(2));
        PressKey(Qt::Key_Down);
        PressKey(Qt::Key_Right);
        PressKey(Qt::Key_Left);
        QCOMPARE(seen, (QList<int>{2, 0, 1, 0}));
        QCOMPARE(Focused(), group_->ItemButton(0));
    }

    void itemsStandInOneColumnSharingTheFrameEqually_data()
    {
        QTest::addColumn<int>("height");
        QTest::newRow("as the window has it") << 97;
        QTest::newRow("taller") << 160;
        QTest::newRow("a height that does not divide evenly") << 101;
    }

    void itemsStandInOneColumnSharingTheFrameEqually()
    {
        QFETCH(int, height);
        group_->resize(201, height);
        const int captionBottom = group_->fontMetrics().height();
        const QRect first = group_->ItemButton(0)->geometry();
        QVERIFY2(first.top() >= captionBottom, "the first item stands below the caption");
        for (int i = 0; i < 3; ++i) {
            const QRect item = group_->ItemButton(i)->geometry();
            QCOMPARE(item.left(), first.left());
            QCOMPARE(item.width(), first.width());
            QCOMPARE(item.height(), first.height());
            QCOMPARE(item.top(), first.top() + i * first.height());
            QVERIFY(group_->rect().contains(item));
        }
        // The items fill the frame below the caption, up to a rounding rest.
        const int room = height - captionBottom;
        QVERIFY2(3 * first.height() > room - 10, qPrintable(QString::number(first.height())));
    }

    void replacingTheItemsClearsTheSelection()
    {
        group_->SetItemIndex(2);
        group_->SetItems({"a", "b"});
        QCOMPARE(group_->Items(), (QStringList{"a", "b"}));
        QCOMPARE(group_->ItemIndex(), -1);
        QCOMPARE(group_->findChildren<QRadioButton*>().size(), 2);
        QSignalSpy clicks(group_, &RadioGroup::Click);
        Click(group_->ItemButton(1));
        QCOMPARE(group_->ItemIndex(), 1);
        QCOMPARE(clicks.count(), 1);
    }
};

int main(int argc, char** argv)
{
    RadioGroupTest tests;
    return RunWindowTests(tests, argc, argv);
}

#include "window_radio_group_test.moc"
