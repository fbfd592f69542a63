#pragma once

#include <QObject>
#include <QTextStream>
#include <memory>

#include "MacroInterpreter.h"
#include "dde/DdeServiceHost.h"

// The spreadsheet server: answers DDE service "Excel" on topic "System", carries out the macro
// commands sent there and reads "Ready" for the item "Status". Refusals are answered with their
// reason and written to the log.
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
    void Receive(const TDdeMessage& message, std::vector<TDdeMessage>& answers);

    QTextStream& log_;
    TMacroInterpreter interpreter_;
    TDdeServiceHost host_;
};
