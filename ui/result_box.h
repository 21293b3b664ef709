// A result box: a fixed label that shows one figure of the last calculation.
// To a screen reader it is a named, described label whose text and value are
// the figure shown, and it tells assistive technology each time it is given a
// new figure, so that the result of a press of "計算" is announced.
#pragma once

#include <QLabel>

class ResultBox : public QLabel {
    Q_OBJECT

public:
    explicit ResultBox(QWidget* parent = nullptr);

    // Shows the text and announces it. QLabel::setText is not virtual: this
    // one has to be reached through a ResultBox, as the window's handlers do.
    void setText(const QString& text);

    // The figure shown, as a number (the decimal mark read as a point), or an
    // invalid value while the box shows no number.
    QVariant Value() const;
};
