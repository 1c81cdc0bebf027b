// The editor: error report window first, then the main window, then the event loop.
#include "core/MessagePort.h"
#include "project/Settings.h"
#include "simulation/SmtpSender.h"
#include "ui/dialogs/About.h"
#include "ui/app/DarkLook.h"
#include "ui/app/FileTypeRegistration.h"
#include "ui/app/Hauptform.h"
#include "ui/app/LogikApplication.h"
#include "ui/app/QtMessagePort.h"
#include "ui/dialogs/UnitError.h"
#include "ui/app/Version.h"

#include <QDir>
#include <QStringList>

#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    v7300::InitCurl(); // before any thread runs
    v7300::TLogikApplication app(argc, argv);
    v7300::ApplyDarkLook(app);
    v7300::InstallGermanTranslations(app);
    const std::string programPath = QCoreApplication::applicationFilePath().toStdString();
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
    // V7300_SETTINGS names another config.ini (tests and diagnostics).
    const std::string settingsPath = qEnvironmentVariableIsSet("V7300_SETTINGS")
                                         ? qEnvironmentVariable("V7300_SETTINGS").toStdString()
                                         : v7300::SettingsFilePath(programDir);

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
    // Diagnostic switches: no start-window pauses, no device link, report the start time.
    if (qEnvironmentVariableIsSet("V7300_NO_START_PAUSE")) setup.ProgressPauseMs = 0;
    if (qEnvironmentVariable("V7300_LINK") == QStringLiteral("off")) setup.LinkEnabled = false;
    // V7300_DEVICE replaces the start address, for trying the editor against `v7300 emulate`.
    if (qEnvironmentVariableIsSet("V7300_DEVICE")) setup.DeviceAddress = qEnvironmentVariable("V7300_DEVICE").toStdString();

    auto* form = new v7300::TForm2(setup);
    if (qEnvironmentVariableIsSet("V7300_REPORT_START"))
        form->OnFirstDiagram = [&sinceStart] {
            std::fprintf(stderr, "first diagram drawn after %lld ms\n", static_cast<long long>(sinceStart.elapsed()));
        };
    form->setAttribute(Qt::WA_DeleteOnClose);
    messages.setParent(form);
    form->showMaximized();
    form->setWindowTitle(QString::fromUtf8(v7300::kApplicationTitle));
    const int rc = QApplication::exec();
    v7300::SetErrorReportWindow(nullptr);
    return rc;
}
