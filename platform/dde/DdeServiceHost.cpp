#include "dde/DdeServiceHost.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

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
    while (QLocalSocket* conversation = server_.nextPendingConnection()) {
        // A conversation counts once it says something: another server probing whether this
        // one is alive is none.
        auto talked = std::make_shared<bool>(false);
        connect(conversation, &QLocalSocket::readyRead, this, [this, conversation, talked] {
            bool malformed = false;
            while (conversation->state() == QLocalSocket::ConnectedState) {
                const std::optional<TDdeMessage> message = DdeReadMessage(*conversation, malformed);
                if (malformed)
                    conversation->abort();
                if (!message)
                    break;
                if (!*talked) {
                    *talked = true;
                    ++conversations_;
                }
                receiver_(*conversation, *message);
            }
        });
        connect(conversation, &QLocalSocket::disconnected, this, [this, conversation, talked] {
            conversation->deleteLater();
            if (*talked && --conversations_ == 0)
                emit Idle();
        });
    }
}
