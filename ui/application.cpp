#include "application.h"

#include <QEvent>
#include <QMessageBox>
#include <QSessionManager>

#include <string>

#include "discharge.h"
#include "error_box_text.h"
#include "errors.h"

TApplication* Application = nullptr;

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    Application = this;
#if QT_CONFIG(sessionmanager)
    // The end of the session is agreed without asking: nothing is unsaved,
    // and a program that keeps no state has nothing to be restarted with.
    connect(this, &QGuiApplication::commitDataRequest, this,
            [](QSessionManager& manager) { manager.setRestartHint(QSessionManager::RestartNever); });
#endif
}

TApplication::~TApplication()
{
    if (Application == this) Application = nullptr;
}

QString TApplication::Title() const { return title_; }

void TApplication::SetTitle(const QString& title)
{
    title_ = title;
    setApplicationDisplayName(title);
}

QWidget* TApplication::MainWindow() const { return mainWindow_; }

void TApplication::SetMainWindow(QWidget* window)
{
    if (!mainWindow_) mainWindow_ = window;
}

void TApplication::ReportError(const calc::Exception& error) noexcept
{
    if (dynamic_cast<const calc::EAbort*>(&error) != nullptr) return;
    try {
        ShowErrorBox(QString::fromStdString(ErrorBoxText(error.Message())));
    } catch (...) {
        // Nothing is left to show a failure of the error box itself with; the
        // error is dropped and the loop goes on, as after a dismissed box.
    }
}

void TApplication::ReportError(const std::exception& error) noexcept
{
    if (const auto* calcError = dynamic_cast<const calc::Exception*>(&error)) {
        ReportError(*calcError);
        return;
    }
    try {
        ShowErrorBox(QString::fromUtf8(ErrorBoxText(error.what())));
    } catch (...) {
    }
}

void TApplication::ShowErrorBox(const QString& text)
{
    // The box belongs to the main window: it stays above it, has no taskbar
    // entry of its own, and blocks input to every window until dismissed.
    const QPointer<QWidget> previouslyActive = activeWindow();
    QWidget* owner = mainWindow_ ? mainWindow_.data() : previouslyActive.data();

    QMessageBox box(QMessageBox::Critical, title_, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);  // the message may quote user text with '<'
    // A title and a close box, like every message box: no minimise or
    // maximise buttons from the window manager's default dialog frame.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();

    if (previouslyActive) previouslyActive->activateWindow();
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const calc::Exception& error) {
        ReportError(error);
    } catch (const std::exception& error) {
        ReportError(error);
    }
    return false;
}

bool TApplication::event(QEvent* event)
{
    if (event->type() == QEvent::LocaleChange) {
        // Texts already shown keep their separator; the next conversion uses
        // the new one.
        calc::ReadDecimalMark();
    }
    return QApplication::event(event);
}
