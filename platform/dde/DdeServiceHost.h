#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QString>
#include <functional>

#include "dde/DdeProtocol.h"

// The service side of the DDE stand-in (see DdeProtocol.h): listens on a service's socket and
// hands every message of every conversation to the receiver, which answers with DdeSend on the
// conversation's socket (or closes it). Runs in the thread that creates it.
class TDdeServiceHost : public QObject {
    Q_OBJECT
  public:
    using TReceiver = std::function<void(QLocalSocket& conversation, const TDdeMessage& message)>;

    TDdeServiceHost(QString service, TReceiver receiver, QObject* parent = nullptr);

    // False, with ErrorString, when another program already serves the service or the
    // socket cannot be made.
    bool Listen();
    const QString& ErrorString() const { return error_; }
    int ConversationCount() const { return conversations_; }

  signals:
    // The last conversation that said anything ended.
    void Idle();

  private:
    void Accept();

    QString service_;
    TReceiver receiver_;
    QLocalServer server_;
    QString error_;
    int conversations_ = 0;
};
