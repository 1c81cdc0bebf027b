// The editor: error report window first, then the main window, then the event loop.
#include "core/MessagePort.h"
#include "project/Settings.h"
#include "ui/About.h"
#include "ui/FileTypeRegistration.h"
#include "ui/Hauptform.h"
#include "ui/LogikApplication.h"
#include "ui/QtMessagePort.h"
#include "ui/UnitError.h"
#include "ui/Version.h"

#include <QDir>
#include <QStringList>

int main(int argc, char** argv) {
    v7300::TLogikApplication app(argc, argv);
    const std::string programPath = QCoreApplication::applicationFilePath().toStdString();
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
    const std::string settingsPath = v7300::SettingsFilePath(programDir);

    v7300::TQtMessagePort messages;
    v7300::TFrmError errorWindow(messages);
    errorWindow.ReportUrl = [settingsPath] {
        return v7300::TSettingsFile(settingsPath).ReadString(v7300::settings::kConfig, "errorReportUrl", "");
    };
    v7300::SetErrorReportWindow(&errorWindow);

    QApplication::setApplicationName(QString::fromUtf8(v7300::kApplicationTitle));
    QApplication::setApplicationDisplayName(QString::fromUtf8(v7300::kApplicationTitle));

    v7300::TForm2Setup setup;
    setup.ProgramPath = programPath;
    setup.LibraryFolder = programDir + "/objekts";
    setup.SettingsFile = settingsPath;
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    setup.Arguments = args;
    if (qEnvironmentVariableIsSet("V7300_NO_START_PAUSE")) setup.ProgressPauseMs = 0;

    auto* form = new v7300::TForm2(setup);
    form->setAttribute(Qt::WA_DeleteOnClose);
    messages.setParent(form);
    form->showMaximized();
    form->setWindowTitle(QString::fromUtf8(v7300::kApplicationTitle));
    const int rc = QApplication::exec();
    v7300::SetErrorReportWindow(nullptr);
    return rc;
}
