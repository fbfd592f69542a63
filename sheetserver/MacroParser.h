#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// One macro call of a command string such as [FORMULA("a""b")][SELECT("R1C1")].
struct TMacroArgument {
    QString value;  // a quoted argument without its quotes, its doubled quotes made single
    bool quoted = false;
};

struct TMacroCall {
    QString name;  // in capitals
    std::vector<TMacroArgument> arguments;
};

// The calls of a command string; nothing when the string is malformed, `error` then says where.
std::optional<std::vector<TMacroCall>> ParseMacros(const QString& command, QString& error);
