#pragma once

#include <QLocalSocket>
#include <QObject>
#include <QTextStream>
#include <map>
#include <memory>

#include "MacroInterpreter.h"
#include "dde/DdeServiceHost.h"

// The spreadsheet server: answers DDE service "Excel" on topic "System", carries out the macro
// commands sent there and reads "Ready" for the item "Status". Each conversation builds a
// workbook of its own, so that two programs exporting at once never mix their cells; it is
// dropped when the conversation ends. Refusals are answered with their reason and written to
// the log.
class TSheetServer : public QObject {
    Q_OBJECT
  public:
    explicit TSheetServer(QTextStream& log, QObject* parent = nullptr);

    bool Listen() { return host_.Listen(); }
    const QString& ErrorString() const { return host_.ErrorString(); }
    bool Busy() const { return host_.ConversationCount() > 0; }

  signals:
    // The last conversation ended.
    void Idle();

  private:
    void Receive(QLocalSocket& conversation, const TDdeMessage& message,
                 std::vector<TDdeMessage>& answers);
    TMacroInterpreter& WorkbookOf(QLocalSocket& conversation);

    QTextStream& log_;
    std::map<QLocalSocket*, std::unique_ptr<TMacroInterpreter>> workbooks_;
    TDdeServiceHost host_;
};
