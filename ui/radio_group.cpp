#include "radio_group.h"

#include <QEvent>
#include <QKeyEvent>
#include <QRadioButton>

namespace {

// An item answers to a click anywhere on its row, not only on its circle and
// text, as a row of the group is one button to the user.
class RadioItem : public QRadioButton {
public:
    RadioItem(const QString& text, QWidget* parent) : QRadioButton(text, parent) {}

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace

RadioGroup::RadioGroup(QWidget* parent) : QGroupBox(parent)
{
    buttons_.setExclusive(true);
    // A mouse click or Space on an item: only a real change of the selection
    // is the user's choice; a click on the selected item changes nothing.
    connect(&buttons_, &QButtonGroup::idClicked, this, &RadioGroup::SelectByUser);
    // So is an item checked without a click, through the toggle action that
    // assistive technology offers. The program's own SetItemIndex has already
    // stored the index when its item is checked, so it fires nothing here.
    connect(&buttons_, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked) SelectByUser(index);
    });
    // The group itself is never focused (its focus proxy, the tab-stop item,
    // is), but it has to take part in the tab order that the layout sets.
    setFocusPolicy(Qt::TabFocus);
}

QStringList RadioGroup::Items() const
{
    QStringList texts;
    for (const QRadioButton* item : items_) texts.append(item->text());
    return texts;
}

void RadioGroup::SetItems(const QStringList& items)
{
    setFocusProxy(nullptr);
    for (QRadioButton* item : items_) {
        buttons_.removeButton(item);
        delete item;
    }
    items_.clear();
    itemIndex_ = -1;

    for (const QString& text : items) {
        auto* item = new RadioItem(text, this);
        // Read aloud without the padding and the ideographic space that align
        // the item texts on screen.
        item->setAccessibleName(text.simplified());
        buttons_.addButton(item, static_cast<int>(items_.size()));
        item->installEventFilter(this);
        item->show();
        items_.append(item);
    }
    UpdateTabStop();
    ArrangeItems();
}

int RadioGroup::ItemIndex() const { return itemIndex_; }

void RadioGroup::SetItemIndex(int index)
{
    if (index < 0 || index >= items_.size()) {
        // An exclusive group refuses to uncheck its last checked button.
        buttons_.setExclusive(false);
        for (QRadioButton* item : items_) item->setChecked(false);
        buttons_.setExclusive(true);
        itemIndex_ = -1;
    } else {
        itemIndex_ = index;
        items_[index]->setChecked(true);
    }
    UpdateTabStop();
}

QRadioButton* RadioGroup::ItemButton(int index) const { return items_.value(index, nullptr); }

void RadioGroup::SelectByUser(int index)
{
    if (index == itemIndex_) return;
    itemIndex_ = index;
    UpdateTabStop();
    emit Click();
}

void RadioGroup::MoveByKey(QRadioButton* from, int step)
{
    const auto count = static_cast<int>(items_.size());
    const auto from_index = static_cast<int>(items_.indexOf(from));
    if (count == 0 || from_index < 0) return;
    const int next = (from_index + step + count) % count;
    items_[next]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    items_[next]->setChecked(true);
    SelectByUser(next);
}

bool RadioGroup::eventFilter(QObject* watched, QEvent* event)
{
    auto* item = qobject_cast<QRadioButton*>(watched);
    if (item != nullptr && event->type() == QEvent::KeyPress) {
        // Qt moves among radio buttons by their geometry and stops at the
        // ends; here the items form a ring.
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Down:
        case Qt::Key_Right:
            MoveByKey(item, +1);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Left:
            MoveByKey(item, -1);
            return true;
        default:
            break;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void RadioGroup::changeEvent(QEvent* event)
{
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) ArrangeItems();
}

void RadioGroup::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    ArrangeItems();
}

void RadioGroup::ArrangeItems()
{
    // One column below the caption; the items share the frame's height
    // equally, whatever is left over being split above and below them.
    const auto count = static_cast<int>(items_.size());
    if (count == 0) return;
    const int captionHeight = fontMetrics().height();
    const int room = qMax(0, height() - captionHeight - 5);
    const int itemHeight = room / count;
    const int top = captionHeight + 1 + (room % count) / 2;
    for (int i = 0; i < count; ++i)
        items_[i]->setGeometry(8, top + i * itemHeight, qMax(0, width() - 10), itemHeight);
}

void RadioGroup::UpdateTabStop()
{
    // Only the selected item (the first one while none is) is a tab stop;
    // the others are reached by the arrow keys or the mouse.
    const int tabStop = itemIndex_ >= 0 ? itemIndex_ : 0;
    for (int i = 0; i < items_.size(); ++i)
        items_[i]->setFocusPolicy(i == tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    setFocusProxy(ItemButton(tabStop));
}
