// The application object: one per process. It holds the title, shows every
// error that escapes an event handler, and re-reads the decimal separator
// when the user's regional settings change.
#pragma once

#include <QApplication>
#include <QString>

namespace calc {
class Exception;
}

class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    QString Title() const;
    void SetTitle(const QString& title);

    // Shows one modal error box for the error (none for EAbort and its
    // kin): text ErrorBoxText(message), caption Title(), one OK button, the
    // error icon. Returns when the user has dismissed it.
    void ReportError(const calc::Exception& error);
    void ReportError(const std::exception& error);

protected:
    bool event(QEvent* event) override;
};

// The one application object, set while it exists.
extern TApplication* Application;
