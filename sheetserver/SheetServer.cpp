#include "SheetServer.h"

namespace {
const QString kTopic = QStringLiteral("System");
}

TSheetServer::TSheetServer(QTextStream& log, QObject* parent)
    : QObject(parent),
      log_(log),
      host_(QStringLiteral("Excel"), [this](QLocalSocket& conversation, const TDdeMessage& message,
                                            std::vector<TDdeMessage>& answers) {
          Receive(conversation, message, answers);
      }) {
    connect(&host_, &TDdeServiceHost::Idle, this, &TSheetServer::Idle);
}

TMacroInterpreter& TSheetServer::WorkbookOf(QLocalSocket& conversation) {
    std::unique_ptr<TMacroInterpreter>& workbook = workbooks_[&conversation];
    if (!workbook) {
        workbook = std::make_unique<TMacroInterpreter>();
        connect(&conversation, &QObject::destroyed, this,
                [this, key = &conversation] { workbooks_.erase(key); });
    }
    return *workbook;
}

void TSheetServer::Receive(QLocalSocket& conversation, const TDdeMessage& message,
                           std::vector<TDdeMessage>& answers) {
    static const QString kAck = QStringLiteral("ACK");
    static const QString kDone = QStringLiteral("DONE");
    const auto answer = [&](const QString& verb, const QString& text = QString()) {
        answers.push_back(TDdeMessage{verb, message.id, text});
    };
    const auto refuse = [&](const QString& reason) {
        log_ << "refused " << message.verb << ' ' << message.text << ": " << reason << Qt::endl;
        answer(QStringLiteral("NACK"), reason);
    };
    if (message.verb == QLatin1String("EXECUTE")) {
        const QString refused = WorkbookOf(conversation).Execute(message.text);
        if (!refused.isEmpty()) {
            refuse(refused);
            return;
        }
        answer(kAck);
        answer(kDone);
    } else if (message.verb == QLatin1String("CONNECT")) {
        if (message.text.compare(kTopic, Qt::CaseInsensitive) == 0)
            answer(kAck);
        else
            refuse(QStringLiteral("only the topic \"System\" is served"));
    } else if (message.verb == QLatin1String("REQUEST")) {
        // Commands are carried out as they come, so whoever can ask finds the server idle.
        if (message.text.compare(QLatin1String("Status"), Qt::CaseInsensitive) == 0)
            answer(QStringLiteral("DATA"), QStringLiteral("Ready"));
        else
            answer(QStringLiteral("NODATA"), QStringLiteral("no item \"%1\"").arg(message.text));
    } else {
        refuse(QStringLiteral("unknown message"));
    }
}
