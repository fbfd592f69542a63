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
    int refuse = 0;                   // refuse the n-th command received (from 1); -1: every one
    int holdFirst = 0;                // keep the answers from the first n commands on until a
                                      // request comes, as a program catching up
    int busyReplies = 0;              // "Busy" to the first n "Status" requests; -1: never "Ready"
    bool silent = false;              // answer no request
    bool stall = false;               // answer no command
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
    // Every command received, refused ones included, in order (not those the conversation
    // skips after a refusal).
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
                                 [this](QLocalSocket& conversation, const TDdeMessage& message,
                                        std::vector<TDdeMessage>& answers) {
                                     peer_.Receive(conversation, message, answers);
                                 });
            listening.set_value(host.Listen());
            exec();
        }

      private:
        ScriptedExcelPeer& peer_;
    };

    void Receive(QLocalSocket& conversation, const TDdeMessage& message,
                 std::vector<TDdeMessage>& answers) {
        QMutexLocker lock(&mutex_);
        // Answers stay back while the program catches up; later ones queue behind them.
        const bool holding = !held_.empty() || (!released_ && received_.size() < script_.holdFirst);
        std::vector<TDdeMessage>& out = holding ? held_ : answers;
        const auto answer = [&](std::vector<TDdeMessage>& to, const char* verb,
                                const QString& text = QString()) {
            to.push_back(TDdeMessage{QLatin1String(verb), message.id, text});
        };
        if (message.verb == QLatin1String("CONNECT")) {
            answer(answers, "ACK");
        } else if (message.verb == QLatin1String("EXECUTE")) {
            if (script_.vanishAfter >= 0 && taken_.size() >= script_.vanishAfter) {
                conversation.abort();
                return;
            }
            received_ << message.text;
            if (script_.refuse < 0 || received_.size() == script_.refuse) {
                answer(out, "NACK", QStringLiteral("cannot carry it out"));
                return;
            }
            taken_ << message.text;
            if (script_.stall)
                return;
            answer(out, "ACK");
            if (!script_.withholdCompletion)
                answer(out, "DONE");
        } else if (message.verb == QLatin1String("REQUEST")) {
            released_ = true;
            answers.insert(answers.end(), held_.begin(), held_.end());
            held_.clear();
            if (script_.silent)
                return;
            const bool busy = script_.busyReplies < 0 || statusRequests_++ < script_.busyReplies;
            answer(answers, "DATA", QLatin1String(busy ? "Busy" : "Ready"));
        }
    }

    ExcelPeerScript script_;
    std::unique_ptr<Thread> thread_;
    bool listening_ = false;
    mutable QMutex mutex_;
    QStringList received_;
    QStringList taken_;
    int statusRequests_ = 0;
    std::vector<TDdeMessage> held_;
    bool released_ = false;
};
