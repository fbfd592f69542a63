#pragma once

#include <QLocalSocket>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "dde/DdeProtocol.h"

enum TDdeConnectMode { ddeAutomatic, ddeManual };

// How long the client waits, in milliseconds; tests shorten them.
struct TDdeTimeouts {
    int reply = 10000;  // a request's data, a CONNECT's answer, the completion of a waited command
    int execute = 60000;  // the service taking an EXECUTE (a save may take a while)
    int start = 10000;    // a started service application opening its socket
};

// The client side of a DDE conversation (see DdeProtocol.h). Every wait is bounded: a service
// that answers nothing runs into a time-out, one that goes away ends the conversation, and
// LastError says which. One thread; nothing runs re-entrantly inside a call.
class TDdeClientConv : public QObject {
    Q_OBJECT
  public:
    explicit TDdeClientConv(QObject* parent = nullptr);
    ~TDdeClientConv() override;

    static TDdeTimeouts Timeouts();
    static void SetTimeouts(const TDdeTimeouts& timeouts);

    TDdeConnectMode ConnectMode() const { return connectMode_; }
    void SetConnectMode(TDdeConnectMode mode) { connectMode_ = mode; }
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

    // Hands a command to the service. False when it is refused: no link, a waited command
    // still incomplete, the service refusing it, or no answer in time. With `waitFlg` set,
    // later requests and executes wait for (or are refused until) its completion.
    bool ExecuteMacro(const QString& command, bool waitFlg);
    bool WaitStat() const { return pendingId_ != 0; }
    // The item's text; nothing when there is no link, a waited command stays incomplete, or
    // the service gives no data within the reply time-out.
    std::optional<QString> RequestData(const QString& item);

    // Why the last open, execute or request failed; empty after a success.
    const QString& LastError() const { return lastError_; }
    // The service went away or broke the protocol during the conversation.
    bool LinkLost() const { return linkLost_; }

  private:
    enum class TOpenResult { Opened, NoService, Failed };
    TOpenResult TryOpen();
    bool StartServiceApplication();
    std::optional<TDdeMessage> Transact(const QString& verb, const QString& text, int timeoutMs);
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs);
    void ReadMessages();
    void Lose(const QString& reason);

    TDdeConnectMode connectMode_ = ddeAutomatic;
    QString serviceApplication_;
    QString service_;
    QString topic_;
    QLocalSocket socket_;
    bool open_ = false;
    bool linkLost_ = false;
    quint64 nextId_ = 1;
    quint64 awaitedId_ = 0;
    bool awaitedDone_ = false;
    std::optional<TDdeMessage> reply_;
    quint64 pendingId_ = 0;
    QString lastError_;
};
