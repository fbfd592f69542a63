#pragma once

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>

#include "dde/DdeProtocol.h"

enum TDdeConnectMode { ddeAutomatic, ddeManual };

// How long the client waits, in milliseconds, and how far it runs ahead; tests shorten them.
struct TDdeTimeouts {
    int reply = 10000;  // a request's data, a CONNECT's answer, the completion of a waited command
    int execute = 60000;  // the service taking posted commands (a save may take a while)
    int start = 10000;    // a started service application opening its socket
    int posted = 256;     // commands posted without an answer before the next post waits
};

// The client side of a DDE conversation (see DdeProtocol.h). Executes are posted: they go out
// without waiting for the service, which answers them in order later; a refusal among those
// answers is reported at the next execute or request (RefusedCommand names the command). Every
// wait is bounded: a service that answers nothing runs into a time-out, one that goes away ends
// the conversation, and LastError says which. One thread. While a call waits, the wait hook
// (when set) runs at least every 100 ms: it may let events run, and it may give the wait up.
class TDdeClientConv : public QObject {
    Q_OBJECT
  public:
    explicit TDdeClientConv(QObject* parent = nullptr);
    ~TDdeClientConv() override;

    static TDdeTimeouts Timeouts();
    static void SetTimeouts(const TDdeTimeouts& timeouts);

    TDdeConnectMode ConnectMode() const { return connectMode_; }
    void SetConnectMode(TDdeConnectMode mode) { connectMode_ = mode; }
    // Called at least every 100 ms while a call waits for the service. When it returns false
    // the wait is given up: the call fails, the link is closed (what the service was sent is
    // left unfinished) and Interrupted() is set until the next open.
    void SetWaitHook(std::function<bool()> hook) { waitHook_ = std::move(hook); }
    bool Interrupted() const { return interrupted_; }
    // The command line started when nobody answers an open (empty: none).
    const QString& ServiceApplication() const { return serviceApplication_; }
    void SetServiceApplication(const QString& commandLine) { serviceApplication_ = commandLine; }

    const QString& DdeService() const { return service_; }
    const QString& DdeTopic() const { return topic_; }
    // Closes an open link; in automatic mode opens the new one.
    bool SetLink(const QString& service, const QString& topic);
    // Connects to the service; when nobody listens, starts the service application detached
    // in the background (nothing is raised or given the focus) and connects again until it
    // answers or the start time-out passes.
    bool OpenLink();
    void CloseLink();
    bool IsOpen() const { return open_; }

    // Posts a command. False when it is not sent: no link, a waited command still incomplete,
    // an earlier posted command found refused (RefusedCommand), or, with `posted` commands
    // unanswered, no answer within the execute time-out. With `waitFlg` set the call waits
    // until the service has taken the command (false, naming it, when refused), and later
    // requests and executes wait for (or are refused until) its completion.
    bool ExecuteMacro(const QString& command, bool waitFlg);
    bool WaitStat() const { return pendingId_ != 0; }
    // Waits until the service has answered every posted command; false as ExecuteMacro.
    bool AwaitPosted(int timeoutMs);
    qsizetype PostedCount() const { return qsizetype(posted_.size()); }
    // The item's text, the posted commands answered before it; nothing when there is no link,
    // a posted command was refused, a waited command stays incomplete, or the service gives no
    // data within the reply time-out.
    std::optional<QString> RequestData(const QString& item);

    // Why the last open, execute or request failed; empty after a success.
    const QString& LastError() const { return lastError_; }
    // The posted command whose refusal the last failed call reported; empty otherwise.
    const QString& RefusedCommand() const { return refusedCommand_; }
    // The service went away or broke the protocol during the conversation.
    bool LinkLost() const { return linkLost_; }

  private:
    enum class TOpenResult { Opened, NoService, Failed };
    struct TPosted {
        quint64 id;
        QString command;
    };
    struct TRefusal {
        QString command;
        QString reason;
    };

    TOpenResult TryOpen();
    bool StartServiceApplication();
    // Starts a call: drops what an earlier failure reported, reads what has arrived and
    // reports a refusal found there. False when the call cannot go on.
    bool Begin();
    bool ReportRefusal();
    quint64 Post(const QString& verb, const QString& text);
    void Send();
    std::optional<TDdeMessage> Transact(const QString& verb, const QString& text, int timeoutMs);
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs);
    // Runs the wait hook when one is due; false (the link closed) when it gives the wait up.
    bool KeepWaiting(QElapsedTimer& sinceHook);
    void ReadMessages();
    void Answered(const TDdeMessage& message);
    void Lose(const QString& reason);
    QString NoAnswer(const QString& what, int timeoutMs) const;

    TDdeConnectMode connectMode_ = ddeAutomatic;
    std::function<bool()> waitHook_;
    bool interrupted_ = false;
    QString serviceApplication_;
    QString service_;
    QString topic_;
    QLocalSocket socket_;
    TDdeReader reader_;
    // Lines not handed to the socket yet: posts go out together, when enough have gathered,
    // when the caller waits for anything, or once events run after a short while.
    QByteArray outbox_;
    QTimer sendTimer_;
    bool open_ = false;
    bool linkLost_ = false;
    quint64 nextId_ = 1;
    // The posted executes not answered yet, oldest first.
    std::deque<TPosted> posted_;
    // Executes up to this one are skipped by the service after a refusal; their NACKs are
    // no news.
    quint64 skippedUpTo_ = 0;
    std::optional<TRefusal> refusal_;
    quint64 awaitedId_ = 0;
    std::optional<TDdeMessage> reply_;
    quint64 pendingId_ = 0;
    QString lastError_;
    QString lostError_;
    QString refusedCommand_;
};
