#include <QApplication>
#include <QTextStream>
#include <cstring>

#include "Forms.h"
#include "MainUnit.h"
#include "Version.h"
#include "db/connection/AliasSetup.h"
#include "version/VersionResource.h"

QUORVA_VERSION_RESOURCE(QUORVA_FILE_VERSION);

namespace {
// "quorva --version" names the version and the sample database the program finds where it is
// installed, without a window, so an installation can be checked from a shell.
bool VersionAsked(int argc, char** argv) {
    return argc == 2 && std::strcmp(argv[1], "--version") == 0;
}

int PrintVersion(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QString version = GetVersionString();
    const QString sample =
        FindSampleDatabase(SampleDatabaseCandidates(QCoreApplication::applicationDirPath()));
    QTextStream out(stdout);
    out << "Quorva " << (version.isEmpty() ? QStringLiteral("(version unknown)") : version)
        << "\nSample database: " << (sample.isEmpty() ? QStringLiteral("not found") : sample)
        << Qt::endl;
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (VersionAsked(argc, argv))
        return PrintVersion(argc, argv);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorva"));
    // The desktop entry's name: desktops match the window to its menu entry and icon by it.
    QApplication::setDesktopFileName(QStringLiteral("org.quorva.Quorva"));
    InstallAliasFile();
    CreateApplicationForms();
    MainForm->show();
    const int result = QApplication::exec();
    DestroyApplicationForms();
    return result;
}
