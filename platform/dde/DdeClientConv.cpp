#include "dde/DdeClientConv.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <algorithm>

namespace {
TDdeTimeouts timeouts;

// Posts gather in the outbox until this much is there, the caller waits, or events run after
// this many milliseconds: the service then reads many commands at a time, not one.
constexpr qsizetype kOutboxBytes = 16 * 1024;
constexpr int kOutboxDelayMs = 5;
// Waits are cut into slices this long, so that the wait hook runs in time; it runs only once
// a wait has lasted this long, so quick answers cost nothing.
constexpr int kHookIntervalMs = 50;

const QString kConnect = QStringLiteral("CONNECT");
const QString kExecute = QStringLiteral("EXECUTE");
const QString kRequest = QStringLiteral("REQUEST");
const QString kResume = QStringLiteral("RESUME");
const QString kAck = QStringLiteral("ACK");
const QString kNack = QStringLiteral("NACK");
const QString kDone = QStringLiteral("DONE");
const QString kData = QStringLiteral("DATA");
}  // namespace

TDdeClientConv::TDdeClientConv(QObject* parent) : QObject(parent) {
    // Answers to posted commands arrive whenever the caller lets events run.
    connect(&socket_, &QLocalSocket::readyRead, this, &TDdeClientConv::ReadMessages);
    connect(&socket_, &QLocalSocket::disconnected, this, [this] {
        ReadMessages();
        Lose(QStringLiteral("the service closed it"));
    });
    sendTimer_.setSingleShot(true);
    sendTimer_.setInterval(kOutboxDelayMs);
    connect(&sendTimer_, &QTimer::timeout, this, &TDdeClientConv::Send);
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
    interrupted_ = false;
    const TOpenResult first = TryOpen();
    if (first != TOpenResult::NoService)
        return first == TOpenResult::Opened;
    if (serviceApplication_.isEmpty() || !StartServiceApplication())
        return false;
    const QDeadlineTimer deadline(timeouts.start);
    QElapsedTimer sinceHook;
    sinceHook.start();
    for (;;) {
        const TOpenResult again = TryOpen();
        if (again != TOpenResult::NoService || deadline.hasExpired() || !KeepWaiting(sinceHook))
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
    // What was posted goes out as far as the socket takes it without waiting.
    Send();
    open_ = false;
    pendingId_ = 0;
    posted_.clear();
    skippedUpTo_ = 0;
    refusal_.reset();
    reply_.reset();
    outbox_.clear();
    sendTimer_.stop();
    reader_.Clear();
    socket_.abort();
}

bool TDdeClientConv::Begin() {
    refusedCommand_.clear();
    if (open_)
        ReadMessages();
    // A refusal read before the conversation ended is still reported, and first.
    if (!ReportRefusal())
        return false;
    if (!open_) {
        lastError_ = linkLost_ ? lostError_ : QStringLiteral("No DDE link is open");
        return false;
    }
    return true;
}

bool TDdeClientConv::ReportRefusal() {
    if (!refusal_)
        return true;
    refusedCommand_ = refusal_->command;
    lastError_ = refusal_->reason;
    refusal_.reset();
    return false;
}

bool TDdeClientConv::ExecuteMacro(const QString& command, bool waitFlg) {
    if (!Begin())
        return false;
    if (pendingId_ != 0) {
        lastError_ = QStringLiteral("An earlier command is not complete yet");
        return false;
    }
    // The service reads at its own pace; the client runs only so far ahead of it.
    if (qsizetype(posted_.size()) >= timeouts.posted &&
        !WaitUntil([this] { return qsizetype(posted_.size()) < timeouts.posted || refusal_; },
                   timeouts.execute)) {
        if (open_)
            lastError_ = NoAnswer(kExecute, timeouts.execute);
        return false;
    }
    if (!ReportRefusal())
        return false;
    const quint64 id = Post(kExecute, command);
    posted_.push_back(TPosted{id, command});
    if (waitFlg) {
        // Its DONE may come with its ACK or later; either clears the wait.
        pendingId_ = id;
        if (!AwaitPosted(timeouts.execute)) {
            pendingId_ = 0;
            return false;
        }
    }
    lastError_.clear();
    return true;
}

bool TDdeClientConv::AwaitPosted(int timeoutMs) {
    if (!Begin())
        return false;
    // Skipped commands are answered too, so the wait ends after a refusal as well.
    const bool answered = WaitUntil([this] { return posted_.empty(); }, timeoutMs);
    if (!ReportRefusal())
        return false;
    if (!answered) {
        if (open_)
            lastError_ = NoAnswer(kExecute, timeoutMs);
        else if (!interrupted_)
            lastError_ = lostError_;
        return false;
    }
    lastError_.clear();
    return true;
}

std::optional<QString> TDdeClientConv::RequestData(const QString& item) {
    if (!Begin())
        return std::nullopt;
    if (pendingId_ != 0 && !WaitUntil([this] { return pendingId_ == 0; }, timeouts.reply)) {
        if (open_)
            lastError_ = QStringLiteral("An earlier command is not complete yet");
        return std::nullopt;
    }
    // The service answers in order: the data comes after the answers to every posted command.
    const std::optional<TDdeMessage> answer = Transact(kRequest, item, timeouts.reply);
    if (!ReportRefusal() || !answer)
        return std::nullopt;
    if (answer->verb != kData) {
        lastError_ = answer->text;
        return std::nullopt;
    }
    lastError_.clear();
    return answer->text;
}

quint64 TDdeClientConv::Post(const QString& verb, const QString& text) {
    const quint64 id = nextId_++;
    DdeAppend(outbox_, TDdeMessage{verb, id, text});
    if (outbox_.size() >= kOutboxBytes)
        Send();
    else if (!sendTimer_.isActive())
        sendTimer_.start();
    return id;
}

void TDdeClientConv::Send() {
    sendTimer_.stop();
    if (outbox_.isEmpty() || !open_ || socket_.state() != QLocalSocket::ConnectedState)
        return;
    socket_.write(outbox_);
    outbox_.clear();
    socket_.flush();
}

std::optional<TDdeMessage> TDdeClientConv::Transact(const QString& verb, const QString& text,
                                                    int timeoutMs) {
    reply_.reset();
    awaitedId_ = Post(verb, text);
    if (!WaitUntil([this] { return reply_.has_value(); }, timeoutMs)) {
        if (open_)
            lastError_ = NoAnswer(verb, timeoutMs);
        return std::nullopt;
    }
    return reply_;
}

bool TDdeClientConv::WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    Send();
    const QDeadlineTimer deadline(timeoutMs);
    QElapsedTimer sinceHook;
    sinceHook.start();
    ReadMessages();
    while (!done()) {
        if (!open_ || deadline.hasExpired() || !KeepWaiting(sinceHook))
            return false;
        // Writes what the socket still holds as well, should the service read slowly.
        const bool arrived = socket_.waitForReadyRead(
            int(std::min<qint64>(deadline.remainingTime(), kHookIntervalMs)));
        ReadMessages();
        if (!arrived && !done() && socket_.state() != QLocalSocket::ConnectedState)
            Lose(QStringLiteral("the service closed it"));
    }
    return true;
}

bool TDdeClientConv::KeepWaiting(QElapsedTimer& sinceHook) {
    if (!waitHook_ || sinceHook.elapsed() < kHookIntervalMs)
        return true;
    // The hook may let events run, and with them this conversation's own signals.
    const bool keep = waitHook_();
    sinceHook.start();
    if (keep)
        return true;
    interrupted_ = true;
    lastError_ = QStringLiteral("The wait for DDE service \"%1\" was given up").arg(service_);
    CloseLink();
    return false;
}

void TDdeClientConv::ReadMessages() {
    bool malformed = false;
    while (open_) {
        const std::optional<TDdeMessage> message = reader_.Next(socket_, malformed);
        if (malformed) {
            Lose(QStringLiteral("the service sent a line that is no message"));
            return;
        }
        if (!message)
            return;
        Answered(*message);
    }
}

void TDdeClientConv::Answered(const TDdeMessage& message) {
    const bool taken = message.verb == kAck || message.verb == kNack;
    if (message.verb == kDone) {
        if (message.id == pendingId_)
            pendingId_ = 0;
    } else if (taken && !posted_.empty() && message.id == posted_.front().id) {
        TPosted command = std::move(posted_.front());
        posted_.pop_front();
        if (message.verb == kNack && message.id > skippedUpTo_) {
            // The service skips what was posted after the refused command until it is told
            // to resume; the refusal waits for the caller's next execute or request.
            skippedUpTo_ = nextId_ - 1;
            Post(kResume, QString());
            Send();
            if (!refusal_)
                refusal_ = TRefusal{std::move(command.command), message.text};
        }
    } else if (taken && !posted_.empty() && message.id > posted_.front().id &&
               message.id <= posted_.back().id) {
        Lose(QStringLiteral("the service answered commands out of order"));
    } else if (message.id == awaitedId_ && !reply_) {
        if (!posted_.empty())
            Lose(QStringLiteral("the service answered before carrying out earlier commands"));
        else
            reply_ = message;
    }
    // Anything else answers a transaction given up on.
}

void TDdeClientConv::Lose(const QString& reason) {
    if (!open_)
        return;
    std::optional<TRefusal> refusal = std::move(refusal_);
    CloseLink();
    refusal_ = std::move(refusal);
    lostError_ =
        QStringLiteral("The conversation with DDE service \"%1\" ended: %2").arg(service_, reason);
    lastError_ = lostError_;
    linkLost_ = true;
}

QString TDdeClientConv::NoAnswer(const QString& what, int timeoutMs) const {
    return QStringLiteral("The DDE service \"%1\" gave no answer to %2 in %3 ms")
        .arg(service_, what)
        .arg(timeoutMs);
}
