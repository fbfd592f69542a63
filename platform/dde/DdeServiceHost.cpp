#include "dde/DdeServiceHost.h"

#include <QDir>
#include <QFileInfo>

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
        ++conversations_;
        connect(conversation, &QLocalSocket::readyRead, this, [this, conversation] {
            bool malformed = false;
            while (conversation->state() == QLocalSocket::ConnectedState) {
                const std::optional<TDdeMessage> message = DdeReadMessage(*conversation, malformed);
                if (malformed)
                    conversation->abort();
                if (!message)
                    break;
                receiver_(*conversation, *message);
            }
        });
        connect(conversation, &QLocalSocket::disconnected, this, [this, conversation] {
            conversation->deleteLater();
            if (--conversations_ == 0)
                emit Idle();
        });
    }
}
