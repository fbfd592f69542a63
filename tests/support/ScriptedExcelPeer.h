#pragma once

#include <QLocalSocket>
#include <QMutex>
#include <QStringList>
#include <QThread>
#include <future>
#include <memory>

#include "dde/DdeServiceHost.h"

// What the scripted spreadsheet program does; the default takes every command and is ready.
struct ExcelPeerScript {
    int refuseExecutes = 0;           // refuse the first n commands; -1: every command
    int busyReplies = 0;              // "Busy" to the first n "Status" requests; -1: never "Ready"
    bool silent = false;              // answer no request
    bool withholdCompletion = false;  // take commands but never report them complete
    int vanishAfter = -1;             // close the conversation instead of taking command n + 1
};

// A spreadsheet program on DDE service "Excel" that follows a script and records the commands
// it receives. It runs in a thread of its own, since the worksheet blocks while it waits for
// an answer. Sockets go where QUORVA_DDE_DIR points; set it before constructing.
class ScriptedExcelPeer {
  public:
    explicit ScriptedExcelPeer(ExcelPeerScript script = {}) : script_(script) {
        thread_ = std::make_unique<Thread>(*this);
        std::future<bool> listening = thread_->listening.get_future();
        thread_->start();
        listening_ = listening.get();
    }
    ~ScriptedExcelPeer() {
        thread_->quit();
        thread_->wait();
    }

    bool Listening() const { return listening_; }
    // Every command received, refused ones included, in order.
    QStringList Received() const {
        QMutexLocker lock(&mutex_);
        return received_;
    }
    // The commands taken.
    QStringList Taken() const {
        QMutexLocker lock(&mutex_);
        return taken_;
    }

  private:
    class Thread : public QThread {
      public:
        explicit Thread(ScriptedExcelPeer& peer) : peer_(peer) {}
        std::promise<bool> listening;

      protected:
        void run() override {
            TDdeServiceHost host(QStringLiteral("Excel"),
                                 [this](QLocalSocket& conversation, const TDdeMessage& message) {
                                     peer_.Receive(conversation, message);
                                 });
            listening.set_value(host.Listen());
            exec();
        }

      private:
        ScriptedExcelPeer& peer_;
    };

    void Receive(QLocalSocket& conversation, const TDdeMessage& message) {
        const auto answer = [&](const char* verb, const QString& text = QString()) {
            DdeSend(conversation, TDdeMessage{QLatin1String(verb), message.id, text});
        };
        QMutexLocker lock(&mutex_);
        if (message.verb == QLatin1String("CONNECT")) {
            answer("ACK");
        } else if (message.verb == QLatin1String("EXECUTE")) {
            if (script_.vanishAfter >= 0 && taken_.size() >= script_.vanishAfter) {
                conversation.abort();
                return;
            }
            received_ << message.text;
            if (script_.refuseExecutes < 0 || received_.size() <= script_.refuseExecutes) {
                answer("NACK", QStringLiteral("busy"));
                return;
            }
            taken_ << message.text;
            answer("ACK");
            if (!script_.withholdCompletion)
                answer("DONE");
        } else if (message.verb == QLatin1String("REQUEST") && !script_.silent) {
            const bool busy = script_.busyReplies < 0 || statusRequests_++ < script_.busyReplies;
            answer("DATA", QLatin1String(busy ? "Busy" : "Ready"));
        }
    }

    ExcelPeerScript script_;
    std::unique_ptr<Thread> thread_;
    bool listening_ = false;
    mutable QMutex mutex_;
    QStringList received_;
    QStringList taken_;
    int statusRequests_ = 0;
};
