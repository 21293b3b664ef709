// Contrast of every text in the window as it is drawn, under the desktop's
// light palette and under a dark one: the captions, the bore group, the entry
// box and the buttons follow the palette and must stay readable (WCAG AA,
// 4.5:1); the result boxes keep their own colours on black.
//
// Each case also leaves its rendering as contrast_<case>.png in the working
// directory, to be looked at.
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

#include <cmath>
#include <map>

#include "result_box.h"
#include "window_test_support.h"

namespace {

double Channel(int value)
{
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(QRgb colour)
{
    return 0.2126 * Channel(qRed(colour)) + 0.7152 * Channel(qGreen(colour)) + 0.0722 * Channel(qBlue(colour));
}

double Contrast(QRgb a, QRgb b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The text's contrast inside an area of a rendering: the commonest colour is
// the background, the colour farthest from it the ink of the glyphs.
struct Reading {
    QRgb background = 0;
    QRgb ink = 0;
    double contrast = 1.0;
};

Reading ReadText(const QImage& image, const QRect& area)
{
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y) | 0xff000000u];
    Reading reading;
    int most = 0;
    for (const auto& [colour, count] : counts) {
        if (count > most) {
            most = count;
            reading.background = colour;
        }
    }
    for (const auto& [colour, count] : counts) {
        const double contrast = Contrast(colour, reading.background);
        if (contrast > reading.contrast) {
            reading.contrast = contrast;
            reading.ink = colour;
        }
    }
    return reading;
}

QPalette DarkPalette()
{
    // A dark desktop theme as Qt receives it: light text on dark surfaces.
    QPalette dark;
    const QColor surface(53, 53, 53), field(35, 35, 35), text(230, 230, 230);
    dark.setColor(QPalette::Window, surface);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, field);
    dark.setColor(QPalette::AlternateBase, surface);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, surface);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::Light, QColor(90, 90, 90));
    dark.setColor(QPalette::Midlight, QColor(70, 70, 70));
    dark.setColor(QPalette::Mid, QColor(45, 45, 45));
    dark.setColor(QPalette::Dark, QColor(25, 25, 25));
    dark.setColor(QPalette::Shadow, QColor(0, 0, 0));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    dark.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    return dark;
}

}  // namespace

class ContrastTest : public QObject {
    Q_OBJECT

private slots:
    void textsStayReadable_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << QApplication::style()->standardPalette();
        QTest::newRow("dark") << DarkPalette();
    }

    void textsStayReadable()
    {
        QFETCH(QPalette, palette);
        QApplication::setPalette(palette);
        auto form = window_test::OpenWindow();
        form->Edit1->setText(QStringLiteral("3.5"));
        form->Button1Click();
        form->Edit1->deselect();
        form->Edit1->clearFocus();  // no caret or selection colour in the reading

        const QImage image = form->grab().toImage();
        image.save(QStringLiteral("contrast_%1.png").arg(QString::fromLatin1(QTest::currentDataTag())));

        // The texts that follow the palette: each in the area where it is drawn.
        std::vector<std::pair<QString, QRect>> texts;
        for (QLabel* caption : {form->Label2, form->Label3, form->Label4, form->Label5, form->Label6, form->Label8})
            texts.emplace_back(caption->text(), caption->geometry());
        RadioGroup* group = form->RadioGroup1;
        texts.emplace_back(group->title(),
                           QRect(group->pos(), QSize(group->width(), group->fontMetrics().height())));
        for (int i = 0; i < 3; ++i) {
            QRadioButton* item = group->ItemButton(i);
            QStyleOptionButton option;
            option.initFrom(item);
            const QRect label = item->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, item);
            texts.emplace_back(item->text(), QRect(item->mapTo(form.get(), label.topLeft()), label.size()));
        }
        for (QPushButton* button : {form->Button1, form->Button2})
            texts.emplace_back(button->text(), button->geometry().adjusted(4, 4, -4, -4));
        texts.emplace_back(QStringLiteral("3.5 in the entry box"), form->Edit1->geometry().adjusted(3, 3, -3, -3));

        for (const auto& [name, area] : texts) {
            const Reading reading = ReadText(image, area);
            QVERIFY2(reading.contrast >= 4.5,
                     qPrintable(QStringLiteral("%1: %2 on %3 is %4:1")
                                    .arg(name, QColor(reading.ink).name(), QColor(reading.background).name())
                                    .arg(reading.contrast, 0, 'f', 2)));
            qInfo("%s: %s on %s, %.1f:1", qPrintable(name), qPrintable(QColor(reading.ink).name()),
                  qPrintable(QColor(reading.background).name()), reading.contrast);
        }

        // The result boxes keep aqua and yellow on black whatever the desktop.
        for (auto [box, colour] : {std::pair{form->Label1, QColor(0, 255, 255)}, std::pair{form->Label7, QColor(255, 255, 0)}}) {
            const Reading reading = ReadText(image, box->geometry());
            QCOMPARE(QColor(reading.background), QColor(Qt::black));
            QCOMPARE(QColor(reading.ink), colour);
            QVERIFY(reading.contrast >= 7.0);
        }

        window_test::CloseWindow(form);
        QApplication::setPalette(QApplication::style()->standardPalette());
    }
};

int main(int argc, char** argv)
{
    ContrastTest tests;
    return window_test::RunWindowTests(tests, argc, argv);
}

#include "contrast_test.moc"
