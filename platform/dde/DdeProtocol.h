#pragma once

#include <QByteArray>
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
//     CONNECT 0 <topic>       opens the conversation on a topic (first line, once)
//     EXECUTE <id> <command>  a macro command
//     REQUEST <id> <item>     the value of an item, as plain text
// Service to client:
//     ACK <id>                CONNECT accepted; EXECUTE taken and carried out
//     NACK <id> <reason>      refused: unknown topic, busy, a command it cannot carry out
//     DONE <id>               EXECUTE complete; a service may send it after later replies
//     DATA <id> <text>        the item's value
//     NODATA <id> <reason>    no value for the item
//
// Closing the socket ends the conversation; another topic is another connection. A peer that
// breaks these rules is treated as one that closed the conversation.
struct TDdeMessage {
    QString verb;
    quint64 id = 0;
    QString text;
};

QByteArray DdeEncode(const TDdeMessage& message);
// One line without its "\n"; nothing when it is not a message.
std::optional<TDdeMessage> DdeDecode(const QByteArray& line);
// The next complete line on the device, decoded; nothing when no line is complete yet or the
// line is malformed (`malformed` then tells which).
std::optional<TDdeMessage> DdeReadMessage(QIODevice& device, bool& malformed);
void DdeSend(QIODevice& device, const TDdeMessage& message);

// The socket of a service: in the folder QUORVA_DDE_DIR names, else in the user's runtime
// folder, so that conversations stay between the programs of one user.
QString DdeServicePath(const QString& service);
