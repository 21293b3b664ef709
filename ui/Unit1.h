// The main window: the nozzle-bore group, the pressure entry box, the two
// result boxes, and the buttons "計算" and "終了". Its layout, texts, fonts,
// colours and tab order are stored in Unit1.ui; its code is event handlers.
#pragma once

#include <QWidget>

#include "ui_Unit1.h"

class QLabel;
class QLineEdit;
class QPushButton;
class RadioGroup;
class ResultBox;

class TForm1 : public QWidget {
    Q_OBJECT

public:
    // Builds the window from its stored layout, runs FormCreate and shows the
    // window.
    explicit TForm1(QWidget* parent = nullptr);

private:
    Ui::TForm1 ui_;

public:
    // The controls, created by the stored layout and owned by the window.
    RadioGroup* RadioGroup1 = nullptr;
    ResultBox* Label1 = nullptr;  // announces each new figure to a screen reader
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    ResultBox* Label7 = nullptr;
    QLabel* Label8 = nullptr;

    // The event handlers. None catches an error: what escapes reaches the
    // application's error box through the guard it was connected with.
    void RadioGroup1Click();
    void Button1Click();
    void Button2Click();
    void FormCreate();
};

// The one main window, set by the program entry.
extern TForm1* Form1;
