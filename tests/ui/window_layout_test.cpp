// The main window as its stored layout builds it, read back from the live
// widgets: window settings, each control's place, text, font and colours, the
// keyboard settings, and the result boxes as they are painted.
#include <QAbstractButton>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <functional>

#include "Unit1.h"
#include "discharge.h"
#include "radio_group.h"
#include "window_test_support.h"

using namespace window_test;

namespace {

// Written with escapes where the characters look alike: full-width Ｍ Ｓ Ｐ,
// the ideographic space, full-width digits, the katakana middle dot.
const QString kFamily = QString::fromUtf16(u"\uFF2D\uFF33 \uFF30ゴシック");
const QString kTitle = QString::fromUtf16(u"消火栓放水量計算");
const QStringList kBoreItems = {
    QString::fromUtf16(u" 8mm\u3000\uFF12号消火栓\u3001補助散水栓"),
    QString::fromUtf16(u"13mm\u3000\uFF11号消火栓 (40A)"),
    QString::fromUtf16(u"19mm\u3000屋外消火栓 (65A)"),
};

const QColor kAqua(0, 255, 255);
const QColor kYellow(255, 255, 0);
const QColor kBlack(0, 0, 0);

QString TextOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
    return {};
}

// The widget's own pixels, one image pixel per device pixel.
QImage Render(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

bool IsNear(QColor actual, QColor wanted, int tolerance)
{
    return qAbs(actual.red() - wanted.red()) <= tolerance && qAbs(actual.green() - wanted.green()) <= tolerance &&
           qAbs(actual.blue() - wanted.blue()) <= tolerance;
}

// Text pixels: drawn at least half-way towards the text colour.
bool IsInk(QColor pixel, QColor ink)
{
    const int reach = qAbs(pixel.red() - ink.red()) + qAbs(pixel.green() - ink.green()) + qAbs(pixel.blue() - ink.blue());
    const int full = ink.red() + ink.green() + ink.blue();
    return reach * 2 <= full;
}

int InkInColumn(const QImage& image, int x, QColor ink)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) count += IsInk(image.pixelColor(x, y), ink) ? 1 : 0;
    return count;
}

// Text pixels in a band of columns, a few logical pixels wide: a single
// column may fall between two characters.
int InkInBand(const QImage& image, int firstX, QColor ink)
{
    const int width = qRound(3 * image.devicePixelRatio());
    int count = 0;
    for (int x = qMax(0, firstX); x < qMin(image.width(), firstX + width); ++x) count += InkInColumn(image, x, ink);
    return count;
}

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TForm1> form_;

    QWidget* Control(const QString& name) const
    {
        const QList<QPair<QString, QWidget*>> fields = {
            {"RadioGroup1", form_->RadioGroup1}, {"Label1", form_->Label1}, {"Button1", form_->Button1},
            {"Button2", form_->Button2},         {"Edit1", form_->Edit1},   {"Label2", form_->Label2},
            {"Label3", form_->Label3},           {"Label4", form_->Label4}, {"Label5", form_->Label5},
            {"Label6", form_->Label6},           {"Label7", form_->Label7}, {"Label8", form_->Label8},
        };
        for (const auto& [fieldName, widget] : fields)
            if (fieldName == name) return widget;
        return nullptr;
    }

    QList<QWidget*> Controls() const
    {
        QList<QWidget*> controls;
        for (const char* name : {"RadioGroup1", "Label1", "Button1", "Button2", "Edit1", "Label2", "Label3",
                                 "Label4", "Label5", "Label6", "Label7", "Label8"})
            controls.append(Control(name));
        return controls;
    }

private slots:
    void initTestCase()
    {
        // The checks on cut texts need the fonts the program maps to.
        const QFontInfo used{QFont(kFamily)};
        QVERIFY2(kInstalledGothics.contains(used.family()), qPrintable("drawn with " + used.family()));
    }

    void init()
    {
        form_ = OpenWindow();
        QVERIFY(form_->Label1->text().isEmpty());
    }

    void cleanup() { CloseWindow(form_); }

    void windowSettings()
    {
        QCOMPARE(form_->windowTitle(), kTitle);
        QCOMPARE(form_->size(), QSize(260, 292));
        QCOMPARE(form_->minimumSize(), QSize(260, 292));
        QCOMPARE(form_->maximumSize(), QSize(260, 292));
        QCOMPARE(form_->frameGeometry().topLeft(), QPoint(192, 107));

        const Qt::WindowFlags flags = form_->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
        QVERIFY(flags.testFlag(Qt::WindowTitleHint));
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
        QVERIFY(!form_->isMaximized() && !form_->isMinimized());

        QCOMPARE(form_->font().family(), kFamily);
        QCOMPARE(form_->font().pixelSize(), 12);
        QCOMPARE(form_->font().weight(), QFont::Normal);

        // The background is the desktop's button face, as painted.
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        QCOMPARE(form_->palette().color(QPalette::Window), buttonFace);
        const QImage window = Render(form_.get());
        const qreal ratio = window.devicePixelRatio();
        for (const QPoint logical : {QPoint(2, 2), QPoint(250, 140), QPoint(130, 288)})
            QCOMPARE(window.pixelColor((QPointF(logical) * ratio).toPoint()), buttonFace);
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");  // width and height -1: the size of the text
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("textColor");  // invalid: the desktop's window text

        const QColor windowText;
        auto row = [&](const char* name, QRect geometry, const QString& text, int pixelSize, bool bold, QColor color) {
            QTest::newRow(name) << QString(name) << geometry << text << pixelSize << bold << color;
        };
        row("RadioGroup1", {24, 16, 201, 97}, QString::fromUtf16(u"ノズルの口径"), 12, false, windowText);
        row("Edit1", {88, 120, 49, 27}, "", 19, false, windowText);
        row("Button1", {24, 256, 75, 25}, QString::fromUtf16(u"計算"), 12, false, windowText);
        row("Button2", {160, 256, 75, 25}, QString::fromUtf16(u"終了"), 12, false, windowText);
        row("Label1", {80, 152, 73, 41}, "", 37, true, kAqua);
        row("Label2", {8, 128, -1, -1}, QString::fromUtf16(u"放水圧力"), 16, true, windowText);
        row("Label3", {144, 128, -1, -1}, QString::fromUtf16(u"Kgf/cm\u30FBcm"), 16, true, windowText);
        row("Label4", {16, 168, -1, -1}, QString::fromUtf16(u"放水量"), 16, true, windowText);
        row("Label5", {160, 168, -1, -1}, QString::fromUtf16(u"リットル/min"), 16, true, windowText);
        row("Label6", {8, 208, -1, -1}, QString::fromUtf16(u"放水圧力"), 16, true, windowText);
        row("Label7", {80, 200, 73, 41}, "", 32, true, kYellow);
        row("Label8", {160, 208, -1, -1}, QString::fromUtf16(u"MPa"), 16, true, windowText);
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(int, pixelSize);
        QFETCH(bool, bold);
        QFETCH(QColor, textColor);

        QWidget* control = Control(name);
        QVERIFY(control != nullptr);
        QCOMPARE(control->objectName(), name);
        QCOMPARE(control->parentWidget(), form_.get());
        QVERIFY(control->isVisible());
        QCOMPARE(TextOf(control).toUtf8(), text.toUtf8());

        QCOMPARE(control->pos(), geometry.topLeft());
        if (geometry.width() >= 0) {
            QCOMPARE(control->size(), geometry.size());
        } else {
            // A caption takes the size of its text.
            auto* label = qobject_cast<QLabel*>(control);
            QVERIFY(label != nullptr);
            QCOMPARE(label->size(), label->sizeHint());
            QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(text));
            QVERIFY(label->height() >= label->fontMetrics().height());
        }

        const QFont font = control->font();
        QCOMPARE(font.family(), kFamily);
        QCOMPARE(font.pixelSize(), pixelSize);
        QCOMPARE(font.weight(), bold ? QFont::Bold : QFont::Normal);
        QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());

        const QColor expectedText =
            textColor.isValid() ? textColor : QApplication::palette().color(QPalette::WindowText);
        QCOMPARE(control->palette().color(QPalette::WindowText), expectedText);
    }

    void boreItems()
    {
        RadioGroup* group = form_->RadioGroup1;
        QCOMPARE(group->Items().size(), kBoreItems.size());
        for (int i = 0; i < kBoreItems.size(); ++i) {
            QCOMPARE(group->Items()[i].toUtf8(), kBoreItems[i].toUtf8());
            QRadioButton* item = group->ItemButton(i);
            QCOMPARE(item->text().toUtf8(), kBoreItems[i].toUtf8());
            QCOMPARE(item->font().family(), kFamily);
            QCOMPARE(item->font().pixelSize(), 12);
            QCOMPARE(item->font().weight(), QFont::Normal);
            // Circle and text fit in the item, and the item in the frame.
            QVERIFY2(item->sizeHint().width() <= item->width(),
                     qPrintable(QString("needs %1, has %2").arg(item->sizeHint().width()).arg(item->width())));
            QVERIFY(group->contentsRect().contains(item->geometry()) || group->rect().contains(item->geometry()));
        }
        QCOMPARE(group->ItemIndex(), 1);
    }

    void nothingOverlapsAndEverythingIsInside()
    {
        const QList<QWidget*> controls = Controls();
        for (int i = 0; i < controls.size(); ++i) {
            QVERIFY2(form_->rect().contains(controls[i]->geometry()), qPrintable(controls[i]->objectName()));
            for (int j = i + 1; j < controls.size(); ++j)
                QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                         qPrintable(controls[i]->objectName() + " overlaps " + controls[j]->objectName()));
        }
    }

    void captionsShowTheWindowBackground()
    {
        for (QLabel* caption : {form_->Label2, form_->Label3, form_->Label4, form_->Label5, form_->Label6,
                                form_->Label8}) {
            QVERIFY(!caption->autoFillBackground());
            const QImage image = Render(caption);
            QCOMPARE(image.pixelColor(image.width() - 1, 0), QApplication::palette().color(QPalette::Button));
        }
    }

    void keyboardSettings()
    {
        for (QPushButton* button : {form_->Button1, form_->Button2}) {
            // Enter presses the focused button, and no button is the default.
            QVERIFY(button->autoDefault());
            QVERIFY(!button->isDefault());
            QVERIFY(button->shortcut().isEmpty());
        }
        QVERIFY(form_->Edit1->maxLength() >= std::numeric_limits<int>::max());
        QVERIFY(form_->Edit1->validator() == nullptr);
        QVERIFY(form_->Edit1->inputMask().isEmpty());

        // No accelerators, no help anywhere.
        QList<QWidget*> everything = form_->findChildren<QWidget*>();
        everything.append(form_.get());
        for (QWidget* widget : everything) {
            QVERIFY2(!TextOf(widget).contains('&'), qPrintable(widget->objectName()));
            QVERIFY(widget->whatsThis().isEmpty());
            QVERIFY(widget->toolTip().isEmpty());
        }
        QVERIFY(!form_->windowTitle().contains('&'));
    }

    // The entry reads left to right whatever it holds, as it does a number:
    // a right-to-left letter stands at its left edge, not at its right.
    void entryReadsLeftToRightWhateverItHolds()
    {
        form_->Edit1->setText(QStringLiteral("\u05E9"));  // HEBREW LETTER SHIN
        const QImage image = Render(form_->Edit1);
        const int frame = qRound(4 * image.devicePixelRatio());
        int left = 0;
        int right = 0;
        for (int y = frame; y < image.height() - frame; ++y)
            for (int x = frame; x < image.width() - frame; ++x)
                if (qGray(image.pixel(x, y)) < 96) ++(x < image.width() / 2 ? left : right);
        QVERIFY2(left > 0, "the letter is drawn in the left half");
        QCOMPARE(right, 0);
    }

    void emptyResultBoxesArePaintedBlack()
    {
        for (QLabel* box : {form_->Label1, form_->Label7}) {
            QVERIFY(box->autoFillBackground());
            QCOMPARE(box->palette().color(QPalette::Window), kBlack);
            const QImage image = Render(box);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    QVERIFY2(image.pixelColor(x, y) == kBlack, qPrintable(QString("%1,%2").arg(x).arg(y)));
        }
    }

    void resultBoxesCentreTheirTextAndCutItAtBothEdges_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wide");
        QTest::newRow("discharge that fits") << "Label1" << "206" << false;
        QTest::newRow("twelve-digit discharge") << "Label1" << "417920000000" << true;
        QTest::newRow("MPa that fits") << "Label7" << "0.34" << false;
        QTest::newRow("MPa in scientific layout") << "Label7" << "9.22337203685477E16" << true;
    }

    void resultBoxesCentreTheirTextAndCutItAtBothEdges()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(bool, wide);
        auto* label = qobject_cast<QLabel*>(Control(box));
        const QColor ink = box == "Label1" ? kAqua : kYellow;
        label->setText(text);
        QCOMPARE(label->size(), QSize(73, 41));
        QCOMPARE(label->fontMetrics().horizontalAdvance(text) > label->width(), wide);

        const QImage image = Render(label);
        const int last = image.width() - 1;
        const int band = qRound(3 * image.devicePixelRatio());
        QVERIFY(InkInBand(image, (image.width() - band) / 2, ink) > 0);
        if (wide) {
            QVERIFY2(InkInBand(image, 0, ink) > 0, "cut at the left edge");
            QVERIFY2(InkInBand(image, image.width() - band, ink) > 0, "cut at the right edge");
        } else {
            int left = 0;
            while (InkInColumn(image, left, ink) == 0) ++left;
            int right = last;
            while (InkInColumn(image, right, ink) == 0) --right;
            QVERIFY(left > 0 && right < last);
            const qreal slack = 2 * image.devicePixelRatio();
            QVERIFY2(qAbs((left + right) - last) <= 2 * slack,
                     qPrintable(QString("text spans %1..%2 of 0..%3").arg(left).arg(right).arg(last)));
        }
        // Everything that is not text is the box's black.
        int other = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                other += IsNear(image.pixelColor(x, y), kBlack, 8) || IsInk(image.pixelColor(x, y), ink) ? 0 : 1;
        QVERIFY2(other < image.width() * image.height() / 10, qPrintable(QString::number(other)));
        // One line, drawn from the top: the bottom rows stay black.
        for (int x = 0; x <= last; ++x)
            QVERIFY(IsNear(image.pixelColor(x, image.height() - 1), kBlack, 8));
    }
};

int main(int argc, char** argv)
{
    WindowLayoutTest tests;
    return RunWindowTests(tests, argc, argv);
}

#include "window_layout_test.moc"
