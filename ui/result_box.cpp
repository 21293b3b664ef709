#include "result_box.h"

#include <QAccessible>

#include "discharge.h"

ResultBox::ResultBox(QWidget* parent) : QLabel(parent) {}

void ResultBox::setText(const QString& text)
{
    const QString previous = QLabel::text();
    QLabel::setText(text);

    // Every new figure is announced, also one equal to the last: the user who
    // presses "計算" again hears that the result stands. A text change tells
    // clients that read the text, a value change those that read the value.
    QAccessibleTextUpdateEvent textEvent(this, 0, previous, text);
    QAccessible::updateAccessibility(&textEvent);
    QAccessibleValueChangeEvent valueEvent(this, Value());
    QAccessible::updateAccessibility(&valueEvent);
}

QVariant ResultBox::Value() const
{
    QString number = text();
    // The figure is written with the user's decimal mark; the value is locale-free.
    const auto mark = static_cast<unsigned char>(calc::DecimalMark);
    if (mark != '.' && mark < 0x80) number.replace(QChar(mark), QChar(u'.'));
    bool isNumber = false;
    const double value = number.toDouble(&isNumber);
    return isNumber ? QVariant(value) : QVariant();
}
