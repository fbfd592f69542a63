#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <optional>

// The DDE stand-in: a conversation is one local-socket connection to the socket of a service
// (DdeServicePath). Both sides send lines of UTF-8 text, each ended by "\n":
//
//     VERB ID TEXT
//
// VERB is one word, ID a decimal number the client gives each transaction, TEXT the rest of the
// line with "\", line feed and carriage return written as \\, \n and \r.
//
// Client to service:
//     CONNECT <id> <topic>    opens the conversation on a topic (first line, once)
//     EXECUTE <id> <command>  a macro command
//     REQUEST <id> <item>     the value of an item, as plain text
//     RESUME <id>             the client has seen a refusal; no answer
// Service to client:
//     ACK <id>                CONNECT accepted; EXECUTE carried out
//     NACK <id> <reason>      refused: an unknown topic, a command the service can never carry
//                             out, or an EXECUTE skipped after such a refusal
//     DONE <id>               EXECUTE complete, after its ACK; a service may send it after
//                             later answers
//     DATA <id> <text>        the item's value
//     NODATA <id> <reason>    no value for the item
//
// Executes are posted: the client sends them one after another without waiting, and a service
// answers every message in the order it came. A service refuses only what it can never carry
// out; while busy it simply reads later, so a posted command is never refused for being busy.
// Once it refuses an EXECUTE it refuses every later EXECUTE of the conversation unseen ("skipped")
// until RESUME comes: a command written for the state the refused one would have made (a cell
// selected, say) must not act on another. The client sends RESUME as soon as it reads the
// refusal and reports the refused command to its caller at the next execute or request.
//
// Closing the socket ends the conversation; another topic is another connection. A peer that
// breaks these rules is treated as one that closed the conversation.
struct TDdeMessage {
    QString verb;
    quint64 id = 0;
    QString text;
};

// Appends the message's line, "\n" included.
void DdeAppend(QByteArray& out, const TDdeMessage& message);
QByteArray DdeEncode(const TDdeMessage& message);
// One line without its "\n"; nothing when it is not a message.
std::optional<TDdeMessage> DdeDecode(QByteArrayView line);
void DdeSend(QIODevice& device, const TDdeMessage& message);

// Splits what a device delivers into messages; one reader per conversation, as a line may
// arrive in parts.
class TDdeReader {
  public:
    // The next complete line, decoded; nothing when no line is complete yet or the line is
    // malformed or too long to be a message (`malformed` then tells which).
    std::optional<TDdeMessage> Next(QIODevice& device, bool& malformed);
    void Clear();

  private:
    QByteArray buffer_;
    qsizetype start_ = 0;
};

// The socket of a service: in the folder QUORVA_DDE_DIR names, else in the user's runtime
// folder, so that conversations stay between the programs of one user.
QString DdeServicePath(const QString& service);
