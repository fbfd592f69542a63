#include <QApplication>

#include "Forms.h"
#include "MainUnit.h"
#include "db/connection/AliasSetup.h"
#include "version/VersionResource.h"

QUORVA_VERSION_RESOURCE(QUORVA_FILE_VERSION);

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorva"));
    InstallAliasFile();
    CreateApplicationForms();
    MainForm->show();
    const int result = QApplication::exec();
    DestroyApplicationForms();
    return result;
}
