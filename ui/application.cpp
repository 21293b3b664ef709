#include "application.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSessionManager>

#include <string>

#include "discharge.h"
#include "error_box_text.h"
#include "heap_retention.h"
#include "errors.h"

TApplication* Application = nullptr;

namespace {

// Qt measures a label's whole text several times while it sizes the box: a
// pasted text of a megabyte, quoted in its error, would hold the program for
// many seconds. Far beyond what a screen shows, the box still holds the whole
// text (QMessageBox::text(), Ctrl+C copies it) but shows only its beginning
// and its end, so that the closing words of the message stay visible.
constexpr qsizetype kShownCharacters = 900;

// Gives a long run without spaces (a pasted number, say) places where the
// label may wrap it: a zero-width space after every 40 characters of a run.
QString WithBreakOpportunities(const QString& text)
{
    constexpr qsizetype kLongestRun = 40;
    QString broken;
    broken.reserve(text.size() + text.size() / kLongestRun);
    qsizetype run = 0;
    for (const QChar character : text) {
        broken.append(character);
        run = character.isSpace() ? 0 : run + 1;
        if (run >= kLongestRun && !character.isHighSurrogate()) {
            broken.append(QChar(0x200B));
            run = 0;
        }
    }
    return broken;
}

QString Abridged(const QString& text)
{
    QString head = text.left(kShownCharacters * 2 / 3);
    QString tail = text.right(kShownCharacters / 3);
    if (!head.isEmpty() && head.back().isHighSurrogate()) head.chop(1);
    if (!tail.isEmpty() && tail.front().isLowSurrogate()) tail.remove(0, 1);
    return WithBreakOpportunities(head) + QStringLiteral("\n…\n") + WithBreakOpportunities(tail);
}

// Replaces the box's own text label, in its place in the box's grid, by one
// that shows the abridged text; the hidden original keeps the whole text.
void ShowAbridged(QMessageBox& box, const QString& text)
{
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    const int index = (label != nullptr && grid != nullptr) ? grid->indexOf(label) : -1;
    if (index < 0) return;
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    auto* shown = new QLabel(Abridged(text), &box);
    shown->setTextFormat(Qt::PlainText);
    shown->setWordWrap(true);
    shown->setTextInteractionFlags(label->textInteractionFlags());
    label->hide();
    grid->addWidget(shown, row, column, rowSpan, columnSpan);
}

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    Application = this;
    RetainLargeFreedBlocks();
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
    if (text.size() > kShownCharacters) ShowAbridged(box, text);
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
