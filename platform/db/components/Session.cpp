#include "db/components/Session.h"

#include <QRegularExpression>

#include "core/Exception.h"
#include "db/connection/AliasResolver.h"

namespace {

// A table name pattern: "*" stands for any text and "?" for one character, "/" included
// (Qt's file name wildcards stop at "/"); everything else stands for itself.
QString NamePattern(const QString& pattern) {
    QString expression;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*'))
            expression += QStringLiteral(".*");
        else if (c == QLatin1Char('?'))
            expression += QLatin1Char('.');
        else
            expression += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression::anchoredPattern(expression);
}

}  // namespace

TSession::TSession(QObject* owner, const QString& name) : QObject(owner) {
    setObjectName(name);
}

TSession::~TSession() {
    for (auto& [alias, database] : databases_)
        database->Close();
}

void TSession::Open() {
    if (active_)
        return;
    active_ = true;
    emit SessionChanged();
}

void TSession::Close() {
    if (!active_)
        return;
    active_ = false;
    emit SessionChanged();
    const auto databases = std::move(databases_);
    databases_.clear();
    for (const auto& [alias, database] : databases)
        database->Close();
}

QString TSession::CloseIfLost() {
    for (const auto& [alias, database] : databases_) {
        if (const QString reason = database->LostReason(); !reason.isEmpty()) {
            Close();
            return reason;
        }
    }
    return {};
}

void TSession::SetActive(bool active) {
    if (active)
        Open();
    else
        Close();
}

void TSession::GetAliasNames(QStringList& list) const {
    list = AliasResolver().AliasNames();
}

void TSession::GetTableNames(const QString& databaseName, const QString& pattern,
                             [[maybe_unused]] bool extensions, [[maybe_unused]] bool systemTables,
                             QStringList& list) {
    const QStringList names = Database(databaseName).TableNames();
    const QRegularExpression match(NamePattern(pattern.isEmpty() ? QStringLiteral("*") : pattern),
                                   QRegularExpression::CaseInsensitiveOption);
    list.clear();
    for (const QString& name : names)
        if (match.match(name).hasMatch())
            list << name;
}

DbBackend& TSession::Database(const QString& databaseName) {
    const QString key = databaseName.toUpper();
    if (const auto found = databases_.find(key); found != databases_.end())
        return *found->second;
    const std::optional<QString> connection = AliasResolver().ConnectionString(databaseName);
    if (!connection)
        throw EDatabaseError(QStringLiteral("Unknown database alias: %1").arg(databaseName));
    std::unique_ptr<DbBackend> database = CreateBackend(TConnectionString::Parse(*connection));
    database->Open(std::nullopt);
    Open();
    return *databases_.emplace(key, std::move(database)).first->second;
}
