#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>

#include <limits>
#include <mutex>

#include "result_box.h"

namespace {

// A result box: a read-only label named after its row ("放水量"), described by
// its unit, whose text is the figure as shown and whose value is that figure
// as a number.
class ResultBoxAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleValueInterface {
public:
    explicit ResultBoxAccessible(ResultBox* box) : QAccessibleWidget(box, QAccessible::StaticText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value) return Shown();
        QString text = QAccessibleWidget::text(kind);
        // Without a name of its own a label is called by what it shows.
        if (kind == QAccessible::Name && text.isEmpty()) text = Shown();
        return text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    // Text: the figure, which the user can neither select nor edit.
    QString text(int startOffset, int endOffset) const override
    {
        return Shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(Shown().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override
    {
        *startOffset = offset < 0 ? -1 : 0;
        *endOffset = offset < 0 ? -1 : characterCount();
        return {};
    }

    // Where each character is drawn: one line, centred, at the top of the box.
    QRect characterRect(int offset) const override
    {
        const QString shown = Shown();
        if (offset < 0 || offset >= shown.size()) return {};
        const QFontMetrics metrics(Box()->font());
        const QRect area = Box()->contentsRect();
        const int left = area.left() + (area.width() - metrics.horizontalAdvance(shown)) / 2;
        const QPoint topLeft(left + metrics.horizontalAdvance(shown.left(offset)), area.top());
        const QSize size(metrics.horizontalAdvance(shown.at(offset)), metrics.height());
        return {Box()->mapToGlobal(topLeft), size};
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        for (int offset = 0; offset < characterCount(); ++offset)
            if (characterRect(offset).contains(point)) return offset;
        return -1;
    }

    // Value: the figure as a number; results are never negative.
    QVariant currentValue() const override { return Box()->Value(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return std::numeric_limits<double>::max(); }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.0; }

private:
    ResultBox* Box() const { return static_cast<ResultBox*>(widget()); }
    QString Shown() const { return Box()->text(); }
};

QAccessibleInterface* ProgramInterfaces(const QString& className, QObject* object)
{
    if (className == QLatin1String("ResultBox")) {
        if (auto* box = qobject_cast<ResultBox*>(object)) return new ResultBoxAccessible(box);
    }
    // The main window is a plain QWidget, which Qt presents as a filler, a
    // piece of some other window; a screen reader looks for a window.
    if (className == QLatin1String("TForm1") && object->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(object);
        if (widget->isWindow()) return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces()
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(ProgramInterfaces); });
}
