// The application object: one per process. It holds the title, shows every
// error that escapes an event handler, and re-reads the decimal separator
// when the user's regional settings change.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <exception>

namespace calc {
class Exception;
}

class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // The title is also the application's display name, so that Qt's title
    // formatting never appends anything to the window and box captions.
    QString Title() const;
    void SetTitle(const QString& title);

    // The window that owns every error box: the first one registered here.
    QWidget* MainWindow() const;
    void SetMainWindow(QWidget* window);

    // Shows one modal error box for the error (none for EAbort and its
    // kin): text ErrorBoxText(message), caption Title(), one OK button, the
    // error icon. Returns when the user has dismissed it. Never throws.
    void ReportError(const calc::Exception& error) noexcept;
    void ReportError(const std::exception& error) noexcept;

    // Delivers every event inside the error guard of the message loop: an
    // error that an event handler lets escape is reported, and the loop goes on.
    bool notify(QObject* receiver, QEvent* event) override;

protected:
    bool event(QEvent* event) override;

private:
    void ShowErrorBox(const QString& text);

    QString title_;
    QPointer<QWidget> mainWindow_;
};

// The one application object, set while it exists.
extern TApplication* Application;
