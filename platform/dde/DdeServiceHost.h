#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "dde/DdeProtocol.h"

// The service side of the DDE stand-in (see DdeProtocol.h): listens on a service's socket and
// hands every message of every conversation to the receiver, which puts its answers into
// `answers` (or closes the conversation). The host keeps the protocol's rules the receiver
// need not know: after a refused EXECUTE it skips the conversation's later ones until RESUME,
// and it writes the answers to all the messages that arrived together at once. Runs in the
// thread that creates it.
class TDdeServiceHost : public QObject {
    Q_OBJECT
  public:
    using TReceiver = std::function<void(QLocalSocket& conversation, const TDdeMessage& message,
                                         std::vector<TDdeMessage>& answers)>;

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
    struct TConversation;
    void Accept();
    void Read(TConversation& conversation);

    QString service_;
    TReceiver receiver_;
    QLocalServer server_;
    QString error_;
    int conversations_ = 0;
    std::vector<TDdeMessage> answers_;
    QByteArray written_;
};
