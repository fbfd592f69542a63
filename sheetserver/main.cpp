#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include "SheetServer.h"
#include "XlsRegistration.h"
#include "registry/RegistryException.h"
#include "registry/RegistryStore.h"

namespace {
// A server started for a conversation that never comes does not stay behind.
constexpr int kFirstConversationMs = 60000;

int Register(const QString& command, QTextStream& out) {
    try {
        const QString store = RegistryStorePath();
        if (RegisterXlsHandler(store, command))
            out << "Registered " << command << " for .XLS files in " << store << Qt::endl;
        else
            out << ".XLS files already have a handler in " << store << "; left as it is"
                << Qt::endl;
        return 0;
    } catch (const ERegistryException& error) {
        out << error.Message() << Qt::endl;
        return 1;
    }
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorva-sheetserver"));
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Spreadsheet server of Quorva: answers DDE service \"Excel\", topic \"System\", and saves "
        "the workbooks it is told to build."));
    parser.addHelpOption();
    const QCommandLineOption registerOption(
        QStringLiteral("register"),
        QStringLiteral("Register this program as the .XLS handler in the registry store, unless "
                       "one is registered, and exit."));
    parser.addOption(registerOption);
    parser.process(app);

    if (parser.isSet(registerOption)) {
        QTextStream out(stdout);
        return Register(
            QLatin1Char('"') + QCoreApplication::applicationFilePath() + QLatin1Char('"'), out);
    }

    TSheetServer server(err);
    if (!server.Listen()) {
        err << server.ErrorString() << Qt::endl;
        return 1;
    }
    QObject::connect(&server, &TSheetServer::Idle, &app, &QCoreApplication::quit);
    QTimer::singleShot(kFirstConversationMs, &app, [&server] {
        if (!server.Busy())
            QCoreApplication::quit();
    });
    return app.exec();
}
