#include "db/components/ADOConnection.h"

#include "core/Exception.h"
#include "db/connection/DataLinkFile.h"

namespace {

const QString kFileNamePrefix = QStringLiteral("FILE NAME=");

// A "FILE NAME=" string names a data link file whose line holds the real string.
TConnectionString Resolve(const QString& text) {
    if (!text.startsWith(kFileNamePrefix, Qt::CaseInsensitive))
        return TConnectionString::Parse(text);
    QString path = text.mid(kFileNamePrefix.size()).trimmed();
    if (path.size() >= 2 && path.front() == QLatin1Char('"') && path.back() == QLatin1Char('"'))
        path = path.mid(1, path.size() - 2);
    const QString inner = ReadDataLinkFile(path);
    if (inner.trimmed().isEmpty())
        throw EDatabaseError(
            QStringLiteral("The data link file %1 holds no connection string").arg(path));
    if (inner.trimmed().startsWith(kFileNamePrefix, Qt::CaseInsensitive))
        throw EDatabaseError(
            QStringLiteral("The data link file %1 names another data link file").arg(path));
    return TConnectionString::Parse(inner);
}

QString FirstValue(const TConnectionString& params, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        const QString value = params.Value(QLatin1String(key));
        if (!value.isEmpty())
            return value;
    }
    return {};
}

}  // namespace

TADOConnection::TADOConnection(QObject* owner, const QString& name) : QObject(owner) {
    setObjectName(name);
}

TADOConnection::~TADOConnection() {
    if (backend_)
        backend_->Close();
}

void TADOConnection::SetConnectionString(const QString& text) {
    connectionString_ = text;
}

void TADOConnection::Open() {
    if (Connected())
        return;
    CloseIfLost();
    const TConnectionString params = Resolve(connectionString_);
    std::unique_ptr<DbBackend> backend = CreateBackend(params);
    std::optional<TLoginAnswer> login;
    if (loginPrompt_) {
        // The prompt starts from the string's own login, so that OK connects as it says.
        login =
            Modal().LoginPrompt(FirstValue(params, {"Data Source", "Database", "Initial Catalog"}),
                                TLoginAnswer{FirstValue(params, {"User ID", "User", "UID"}),
                                             FirstValue(params, {"Password", "PWD"})});
        if (!login)
            throw EDatabaseError(QStringLiteral("Login cancelled"));
    }
    backend->Open(login);
    backend_ = std::move(backend);
    emit ConnectionChanged();
    if (AfterConnect)
        AfterConnect();
}

void TADOConnection::Close() {
    if (!backend_)
        return;
    const std::unique_ptr<DbBackend> backend = std::move(backend_);
    emit ConnectionChanged();
    backend->Close();
    if (AfterDisconnect)
        AfterDisconnect();
}

QString TADOConnection::CloseIfLost() {
    const QString reason = backend_ ? backend_->LostReason() : QString();
    if (!reason.isEmpty())
        Close();
    return reason;
}

bool TADOConnection::Connected() const {
    return backend_ && backend_->IsOpen() && !backend_->ConnectionLost();
}

void TADOConnection::GetTableNames(QStringList& list, [[maybe_unused]] bool systemTables) {
    list = Backend().TableNames();
}

DbBackend& TADOConnection::Backend() {
    if (!Connected())
        throw EDatabaseError(QStringLiteral("Connection is not open"));
    return *backend_;
}
