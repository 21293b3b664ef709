#include "Unit1.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <string>

#include "accessibility.h"
#include "discharge.h"
#include "error_guard.h"
#include "radio_group.h"
#include "result_box.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(QWidget* parent) : QWidget(parent)
{
    InstallAccessibleInterfaces();
    ui_.setupUi(this);
    RadioGroup1 = ui_.RadioGroup1;
    Label1 = ui_.Label1;
    Button1 = ui_.Button1;
    Button2 = ui_.Button2;
    Edit1 = ui_.Edit1;
    Label2 = ui_.Label2;
    Label3 = ui_.Label3;
    Label4 = ui_.Label4;
    Label5 = ui_.Label5;
    Label6 = ui_.Label6;
    Label7 = ui_.Label7;
    Label8 = ui_.Label8;

    // The frame's buttons are window flags, which the stored layout cannot
    // hold: minimise and close, no maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // The generated code sizes a top-level window but never places it.
    move(192, 107);
    // The captions take the size of their text, so that no font cuts them.
    for (QLabel* caption : {Label2, Label3, Label4, Label5, Label6, Label8}) caption->adjustSize();
    // The entry reads left to right whatever it holds. A line edit has no
    // setter for its direction: left to itself it takes it from its text, and
    // looks through the whole text for it on every repaint (a pasted megabyte
    // of digits, which have no direction of their own, made that a third of
    // each repaint). The direction key, which a user may press for the same
    // purpose, sets it for good.
    QKeyEvent leftToRight(QEvent::KeyPress, Qt::Key_Direction_L, Qt::NoModifier);
    QCoreApplication::sendEvent(Edit1, &leftToRight);

    connect(RadioGroup1, &RadioGroup::Click, this, Guard([this] { RadioGroup1Click(); }));
    connect(Button1, &QPushButton::clicked, this, Guard([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, Guard([this] { Button2Click(); }));

    FormCreate();
    show();
}

void TForm1::RadioGroup1Click() { calc::SelectNozzleBore(RadioGroup1->ItemIndex()); }

void TForm1::Button1Click()
{
    // Each step stands on its own: an error ends the press there, and what the
    // steps before it have shown stays.
    const std::string pressureText = Edit1->text().toStdString();
    const calc::Extended pressure = calc::ParsePressureText(pressureText);
    const double discharge = calc::CalculateDischarge(pressure);
    Label1->setText(QString::fromStdString(calc::FormatResultText(discharge)));
    const double pressureMPa = calc::ConvertPressureToMPa();
    Label7->setText(QString::fromStdString(calc::FormatResultText(pressureMPa)));
}

void TForm1::Button2Click() { close(); }

void TForm1::FormCreate() { calc::SetDefaultNozzleBore(); }
