#include "dde/DdeClientConv.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

namespace {
TDdeTimeouts timeouts;

const QString kConnect = QStringLiteral("CONNECT");
const QString kExecute = QStringLiteral("EXECUTE");
const QString kRequest = QStringLiteral("REQUEST");
const QString kAck = QStringLiteral("ACK");
const QString kDone = QStringLiteral("DONE");
const QString kData = QStringLiteral("DATA");
}  // namespace

TDdeClientConv::TDdeClientConv(QObject* parent) : QObject(parent) {
    // Completions of earlier commands arrive whenever the caller lets events run.
    connect(&socket_, &QLocalSocket::readyRead, this, &TDdeClientConv::ReadMessages);
    connect(&socket_, &QLocalSocket::disconnected, this, [this] {
        ReadMessages();
        Lose(QStringLiteral("the service closed it"));
    });
}

TDdeClientConv::~TDdeClientConv() {
    socket_.disconnect(this);
    CloseLink();
}

TDdeTimeouts TDdeClientConv::Timeouts() {
    return timeouts;
}

void TDdeClientConv::SetTimeouts(const TDdeTimeouts& value) {
    timeouts = value;
}

bool TDdeClientConv::SetLink(const QString& service, const QString& topic) {
    CloseLink();
    service_ = service;
    topic_ = topic;
    return connectMode_ == ddeManual || OpenLink();
}

bool TDdeClientConv::OpenLink() {
    CloseLink();
    linkLost_ = false;
    const TOpenResult first = TryOpen();
    if (first != TOpenResult::NoService)
        return first == TOpenResult::Opened;
    if (serviceApplication_.isEmpty() || !StartServiceApplication())
        return false;
    const QDeadlineTimer deadline(timeouts.start);
    for (;;) {
        const TOpenResult again = TryOpen();
        if (again != TOpenResult::NoService || deadline.hasExpired())
            return again == TOpenResult::Opened;
        QThread::msleep(20);
    }
}

TDdeClientConv::TOpenResult TDdeClientConv::TryOpen() {
    socket_.abort();
    socket_.connectToServer(DdeServicePath(service_));
    if (!socket_.waitForConnected(timeouts.reply)) {
        lastError_ = QStringLiteral("No DDE service \"%1\" answers").arg(service_);
        socket_.abort();
        return TOpenResult::NoService;
    }
    open_ = true;
    const std::optional<TDdeMessage> answer = Transact(kConnect, topic_, timeouts.reply);
    if (answer && answer->verb == kAck) {
        lastError_.clear();
        return TOpenResult::Opened;
    }
    if (answer) {
        lastError_ = QStringLiteral("The DDE service \"%1\" refused the topic \"%2\": %3")
                         .arg(service_, topic_, answer->text);
    }
    CloseLink();
    return TOpenResult::Failed;
}

bool TDdeClientConv::StartServiceApplication() {
    QStringList arguments = QProcess::splitCommand(serviceApplication_);
    // A document-opening command line names its document as %1; no document is opened here.
    arguments.removeIf([](const QString& argument) { return argument.contains(u"%1"); });
    const QString program = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (program.isEmpty() || !QProcess::startDetached(program, arguments)) {
        lastError_ = QStringLiteral("Cannot start \"%1\"").arg(serviceApplication_);
        return false;
    }
    return true;
}

void TDdeClientConv::CloseLink() {
    open_ = false;
    pendingId_ = 0;
    socket_.abort();
}

bool TDdeClientConv::ExecuteMacro(const QString& command, bool waitFlg) {
    if (!open_) {
        if (!linkLost_)
            lastError_ = QStringLiteral("No DDE link is open");
        return false;
    }
    if (pendingId_ != 0) {
        lastError_ = QStringLiteral("An earlier command is not complete yet");
        return false;
    }
    const std::optional<TDdeMessage> answer = Transact(kExecute, command, timeouts.execute);
    if (!answer)
        return false;
    if (answer->verb != kAck) {
        lastError_ = answer->text;
        return false;
    }
    if (waitFlg && !awaitedDone_)
        pendingId_ = answer->id;
    lastError_.clear();
    return true;
}

std::optional<QString> TDdeClientConv::RequestData(const QString& item) {
    if (!open_) {
        if (!linkLost_)
            lastError_ = QStringLiteral("No DDE link is open");
        return std::nullopt;
    }
    if (pendingId_ != 0 && !WaitUntil([this] { return pendingId_ == 0; }, timeouts.reply)) {
        if (open_)
            lastError_ = QStringLiteral("An earlier command is not complete yet");
        return std::nullopt;
    }
    const std::optional<TDdeMessage> answer = Transact(kRequest, item, timeouts.reply);
    if (!answer)
        return std::nullopt;
    if (answer->verb != kData) {
        lastError_ = answer->text;
        return std::nullopt;
    }
    lastError_.clear();
    return answer->text;
}

std::optional<TDdeMessage> TDdeClientConv::Transact(const QString& verb, const QString& text,
                                                    int timeoutMs) {
    awaitedId_ = nextId_++;
    awaitedDone_ = false;
    reply_.reset();
    DdeSend(socket_, TDdeMessage{verb, awaitedId_, text});
    socket_.flush();
    if (!WaitUntil([this] { return reply_.has_value(); }, timeoutMs)) {
        if (open_) {
            lastError_ = QStringLiteral("The DDE service \"%1\" gave no answer to %2 in %3 ms")
                             .arg(service_, verb)
                             .arg(timeoutMs);
        }
        return std::nullopt;
    }
    return reply_;
}

bool TDdeClientConv::WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    ReadMessages();
    while (!done()) {
        if (!open_ || deadline.hasExpired())
            return false;
        const bool arrived = socket_.waitForReadyRead(int(deadline.remainingTime()));
        ReadMessages();
        if (!arrived && !done() && socket_.state() != QLocalSocket::ConnectedState)
            Lose(QStringLiteral("the service closed it"));
    }
    return true;
}

void TDdeClientConv::ReadMessages() {
    while (open_ && socket_.canReadLine()) {
        bool malformed = false;
        const std::optional<TDdeMessage> message = DdeReadMessage(socket_, malformed);
        if (!message) {
            Lose(QStringLiteral("the service sent a line that is no message"));
            return;
        }
        if (message->verb == kDone) {
            if (message->id == pendingId_)
                pendingId_ = 0;
            if (message->id == awaitedId_)
                awaitedDone_ = true;
        } else if (message->id == awaitedId_) {
            reply_ = *message;
        }
    }
}

void TDdeClientConv::Lose(const QString& reason) {
    if (!open_)
        return;
    lastError_ =
        QStringLiteral("The conversation with DDE service \"%1\" ended: %2").arg(service_, reason);
    linkLost_ = true;
    CloseLink();
}
