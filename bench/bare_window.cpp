// The yardstick of bench/startup.sh: a bare Qt window with the controls of the
// calculator's main window (a group of three radio buttons, an entry box, two
// buttons, eight labels) at the same places, with the same texts and fonts,
// written directly against Qt with nothing of the program's own.
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

namespace {

const char* const kCaptionStyle = "font: bold 16px \"ＭＳ Ｐゴシック\";";
const char* const kResultStyle = "font: 19px \"ＭＳ Ｐゴシック\"; color: #00ffff; background: #000080;";

QLabel* AddLabel(QWidget* window, const char* text, const char* style, int x, int y, int w, int h)
{
    auto* label = new QLabel(QString::fromUtf8(text), window);
    label->setStyleSheet(QString::fromUtf8(style));
    label->setGeometry(x, y, w, h);
    return label;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromUtf8("消火栓放水量計算"));
    window.setFixedSize(260, 292);
    window.setStyleSheet(QString::fromUtf8("font: 12px \"ＭＳ Ｐゴシック\";"));

    auto* group = new QGroupBox(QString::fromUtf8("ノズルの口径"), &window);
    group->setGeometry(24, 16, 201, 97);
    auto* buttons = new QButtonGroup(group);
    const char* const items[] = {" 8mm　２号消火栓、補助散水栓", "13mm　１号消火栓 (40A)", "19mm　屋外消火栓 (65A)"};
    int y = 20;
    for (const char* item : items) {
        auto* radio = new QRadioButton(QString::fromUtf8(item), group);
        radio->setGeometry(8, y, 185, 22);
        buttons->addButton(radio);
        y += 24;
    }
    buttons->buttons().at(1)->setChecked(true);

    auto* edit = new QLineEdit(&window);
    edit->setGeometry(88, 120, 49, 27);
    edit->setStyleSheet(QString::fromUtf8("font: 19px \"ＭＳ Ｐゴシック\";"));

    AddLabel(&window, "", kResultStyle, 80, 152, 73, 41);
    AddLabel(&window, "放水圧力", kCaptionStyle, 8, 128, 69, 16);
    AddLabel(&window, "Kgf/cm・cm", kCaptionStyle, 144, 128, 88, 16);
    AddLabel(&window, "放水量", kCaptionStyle, 16, 168, 52, 16);
    AddLabel(&window, "リットル/min", kCaptionStyle, 160, 168, 90, 16);
    AddLabel(&window, "放水圧力", kCaptionStyle, 8, 208, 69, 16);
    AddLabel(&window, "", kResultStyle, 80, 200, 73, 41);
    AddLabel(&window, "MPa", kCaptionStyle, 160, 208, 34, 16);

    auto* calculate = new QPushButton(QString::fromUtf8("計算"), &window);
    calculate->setGeometry(24, 256, 75, 25);
    auto* quit = new QPushButton(QString::fromUtf8("終了"), &window);
    quit->setGeometry(160, 256, 75, 25);
    QObject::connect(quit, &QPushButton::clicked, &window, &QWidget::close);

    window.move(192, 107);
    window.show();
    return QApplication::exec();
}
