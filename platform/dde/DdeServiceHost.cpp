#include "dde/DdeServiceHost.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

struct TDdeServiceHost::TConversation {
    QLocalSocket* socket = nullptr;
    TDdeReader reader;
    // A conversation counts once it says something: another server probing whether this one
    // is alive is none.
    bool talked = false;
    // An EXECUTE was refused and the client has not resumed yet.
    bool skipping = false;
};

namespace {
const QString kExecute = QStringLiteral("EXECUTE");
const QString kResume = QStringLiteral("RESUME");
const QString kNack = QStringLiteral("NACK");
const QString kSkipped = QStringLiteral("skipped: an earlier command was refused");
}  // namespace

TDdeServiceHost::TDdeServiceHost(QString service, TReceiver receiver, QObject* parent)
    : QObject(parent), service_(std::move(service)), receiver_(std::move(receiver)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &TDdeServiceHost::Accept);
}

bool TDdeServiceHost::Listen() {
    const QString path = DdeServicePath(service_);
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(1000)) {
        error_ = QStringLiteral("Another program already serves \"%1\" at %2").arg(service_, path);
        return false;
    }
    // What is left is the socket of a service that ended without removing it.
    QLocalServer::removeServer(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!server_.listen(path)) {
        error_ = QStringLiteral("Cannot serve \"%1\" at %2: %3")
                     .arg(service_, path, server_.errorString());
        return false;
    }
    return true;
}

void TDdeServiceHost::Accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        auto conversation = std::make_shared<TConversation>();
        conversation->socket = socket;
        connect(socket, &QLocalSocket::readyRead, this,
                [this, conversation] { Read(*conversation); });
        connect(socket, &QLocalSocket::disconnected, this, [this, conversation] {
            conversation->socket->deleteLater();
            if (conversation->talked && --conversations_ == 0)
                emit Idle();
        });
    }
}

void TDdeServiceHost::Read(TConversation& conversation) {
    QLocalSocket& socket = *conversation.socket;
    written_.clear();
    bool malformed = false;
    while (socket.state() == QLocalSocket::ConnectedState) {
        const std::optional<TDdeMessage> message = conversation.reader.Next(socket, malformed);
        if (malformed)
            socket.abort();
        if (!message)
            break;
        if (!conversation.talked) {
            conversation.talked = true;
            ++conversations_;
        }
        answers_.clear();
        if (message->verb == kResume) {
            conversation.skipping = false;
        } else if (message->verb == kExecute && conversation.skipping) {
            answers_.push_back(TDdeMessage{kNack, message->id, kSkipped});
        } else {
            receiver_(socket, *message, answers_);
        }
        for (const TDdeMessage& answer : answers_) {
            DdeAppend(written_, answer);
            if (message->verb == kExecute && answer.verb == kNack && answer.id == message->id)
                conversation.skipping = true;
        }
    }
    if (!written_.isEmpty() && socket.state() == QLocalSocket::ConnectedState)
        socket.write(written_);
}
