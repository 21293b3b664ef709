#include "start_up.h"

#include <QFont>
#include <QIcon>
#include <QString>
#include <QStringList>

#include "application.h"
#include "discharge.h"

int RunProgram(int& argc, char** argv,
               const std::function<std::unique_ptr<QWidget>()>& createMainWindow)
{
    calc::ReadDecimalMark();

    // The window's fonts name the Japanese Windows Gothic; IPAPGothic has its
    // metrics, Noto Sans CJK JP stands in where IPA fonts are missing.
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});

    TApplication application(argc, argv);
    application.SetTitle(QString::fromUtf16(kProgramTitle));
    application.setDesktopFileName(QStringLiteral("hydrant-discharge"));
    application.setWindowIcon(QIcon(QStringLiteral(":/icons/hydrant-discharge.svg")));

    const std::unique_ptr<QWidget> mainWindow = createMainWindow();
    application.SetMainWindow(mainWindow.get());

    QApplication::exec();
    return 0;
}
