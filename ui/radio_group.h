// A framed, captioned group of mutually exclusive items in one column, as the
// nozzle-bore choice uses it. The group keeps the selected position and tells
// about the user's changes of it, and only those, through Click().
//
// Keyboard: the selected item is the group's only tab stop; the arrow keys
// move the focus and the selection to the next (Down, Right) or the previous
// (Up, Left) item, wrapping round at both ends.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QList>
#include <QStringList>

class QRadioButton;

class RadioGroup : public QGroupBox {
    Q_OBJECT
    // Set from the stored layout (as dynamic-style properties, so that the
    // generated code reaches them through the meta-object).
    Q_PROPERTY(QStringList items READ Items WRITE SetItems)
    Q_PROPERTY(int itemIndex READ ItemIndex WRITE SetItemIndex)

public:
    explicit RadioGroup(QWidget* parent = nullptr);

    QStringList Items() const;
    // Replaces the items; none is selected afterwards.
    void SetItems(const QStringList& items);

    // The position of the selected item, or -1 when none is selected.
    int ItemIndex() const;
    // Selects the item at index (-1 or any other position outside the items:
    // none). A change made here is the program's, not the user's: Click() is
    // not emitted.
    void SetItemIndex(int index);

    // The button that shows the item at index, or nullptr.
    QRadioButton* ItemButton(int index) const;

signals:
    // The user has selected another item; ItemIndex() already holds it.
    void Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ArrangeItems();
    void SelectByUser(int index);
    void MoveByKey(QRadioButton* from, int step);
    void UpdateTabStop();

    QButtonGroup buttons_;
    QList<QRadioButton*> items_;
    int itemIndex_ = -1;
};
