#include "db/access/AccessBackend.h"

#include <QRegularExpression>

#include "core/Exception.h"
#include "db/SqlBatch.h"
#include "db/access/AccessQueries.h"
#include "db/access/MdbCursor.h"
#include "db/access/MdbFieldType.h"
#include "db/access/MdbFile.h"
#include "db/dataset/SqlIdentifier.h"

namespace {

// Catalog and table definitions come from the backend's own handle; every result set opens
// the file again, so reading one never disturbs another (libmdb keeps its page in the handle).
class TAccessBackend : public DbBackend {
  public:
    explicit TAccessBackend(QString fileName) : fileName_(std::move(fileName)) {}

    // Jet user-level security is not supported by mdbtools; a login is ignored.
    void Open(const std::optional<TLoginAnswer>&) override { mdb_ = OpenMdbFile(fileName_); }
    void Close() override {
        mdb_.reset();
        queries_.reset();
    }
    bool IsOpen() const override { return mdb_ != nullptr; }

    QStringList TableNames() override;
    TFieldDefs FieldDefs(const QString& table) override;
    QString SqlName(const QString& name) override;
    // mdbtools reads one SELECT and nothing else.
    bool ReturnsRows(const QString& sql) override {
        RequireOpen();
        const QStringList statements = SqlBatch::Statements(sql);
        return statements.size() == 1 && statements.first().trimmed().startsWith(
                                             QLatin1String("SELECT"), Qt::CaseInsensitive);
    }

    int Execute(const QString&) override { throw EDatabaseError(AccessReadOnlyReason()); }
    qsizetype ExecuteWith(const QString&, const QVariantList&, TRowStore*) override {
        throw EDatabaseError(AccessReadOnlyReason());
    }
    void StartTransaction() override { throw EDatabaseError(AccessReadOnlyReason()); }
    void Commit() override {}
    void Rollback() override {}
    std::unique_ptr<TResultCursor> Query(const QString& sql) override;
    std::unique_ptr<TResultCursor> OpenTable(const QString& table, int maxRecords) override {
        RequireOpen();
        if (const TAccessQuery* query = SavedQuery(table))
            return RunSavedQuery(*query);
        return TMdbCursor::Table(fileName_, table, maxRecords);
    }

  private:
    void RequireOpen() const {
        if (!mdb_)
            throw EDatabaseError(QStringLiteral("The Access database is not open"));
    }

    const QList<TAccessQuery>& SavedQueries();
    const TAccessQuery* SavedQuery(const QString& name);
    std::unique_ptr<TResultCursor> RunSavedQuery(const TAccessQuery& query);

    QString fileName_;
    MdbHandlePtr mdb_;
    std::optional<QList<TAccessQuery>> queries_;  // read at first use
};

const QList<TAccessQuery>& TAccessBackend::SavedQueries() {
    if (!queries_)
        queries_ = ReadAccessQueries(fileName_);
    return *queries_;
}

const TAccessQuery* TAccessBackend::SavedQuery(const QString& name) {
    for (const TAccessQuery& query : SavedQueries())
        if (query.name.compare(name, Qt::CaseInsensitive) == 0)
            return &query;
    return nullptr;
}

// A saved query runs through mdbtools when its SQL is within what mdbtools reads; otherwise
// the error names the query, says why and shows its SQL.
std::unique_ptr<TResultCursor> TAccessBackend::RunSavedQuery(const TAccessQuery& query) {
    QString why;
    const QString sql = MdbtoolsQuerySql(
        query.parts, [this](const QString& name) { return SavedQuery(name) != nullptr; }, why);
    try {
        if (!sql.isEmpty())
            return TMdbCursor::Select(fileName_, sql);
    } catch (const EDatabaseError& error) {
        why = error.Message();
    }
    throw EDatabaseError(
        QStringLiteral("mdbtools cannot run the saved query \"%1\": %2. Its SQL: %3")
            .arg(query.name, why, AccessQuerySql(query.parts)));
}

// "SELECT * FROM [query]", as "Select * from ..." writes it, runs the saved query; other
// statements on a saved query are beyond mdbtools.
std::unique_ptr<TResultCursor> TAccessBackend::Query(const QString& sql) {
    RequireOpen();
    static const QRegularExpression onQuery(
        QStringLiteral(
            "^\\s*SELECT\\s+(\\*|.*?)\\s+FROM\\s+(?:\\[([^\\]]+)\\]|(\\S+?))\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = onQuery.match(sql);
    const QString source = match.captured(2).isEmpty() ? match.captured(3) : match.captured(2);
    if (const TAccessQuery* query = match.hasMatch() ? SavedQuery(source) : nullptr) {
        if (match.captured(1) == QLatin1String("*"))
            return RunSavedQuery(*query);
        throw EDatabaseError(
            QStringLiteral("mdbtools runs the saved query \"%1\" only as SELECT * FROM [%1]")
                .arg(query->name));
    }
    return TMdbCursor::Select(fileName_, sql);
}

QStringList TAccessBackend::TableNames() {
    RequireOpen();
    if (!mdb_read_catalog(mdb_.get(), MDB_TABLE))
        throw EDatabaseError(QStringLiteral("mdbtools cannot read the table list"));
    QStringList names;
    for (unsigned i = 0; i < mdb_->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
        const QString name = QString::fromUtf8(entry->object_name);
        if (mdb_is_user_table(entry) &&
            !name.startsWith(QStringLiteral("MSys"), Qt::CaseInsensitive))
            names.append(name);
    }
    for (const TAccessQuery& query : SavedQueries())
        names.append(query.name);
    return names;
}

TFieldDefs TAccessBackend::FieldDefs(const QString& table) {
    RequireOpen();
    if (const TAccessQuery* query = SavedQuery(table))
        return RunSavedQuery(*query)->Fields();
    QByteArray name = table.toUtf8();
    const MdbTablePtr def(mdb_read_table_by_name(mdb_.get(), name.data(), MDB_TABLE));
    if (!def || !mdb_read_columns(def.get()))
        throw EDatabaseError(QStringLiteral("Table %1 not found in this database").arg(table));
    TFieldDefs fields;
    for (unsigned c = 0; c < def->num_cols; ++c)
        fields.append(
            MdbFieldDef(*mdb_, *static_cast<const MdbColumn*>(g_ptr_array_index(def->columns, c))));
    return fields;
}

// Access names hold no brackets, so brackets quote any of them.
QString TAccessBackend::SqlName(const QString& name) {
    if (IsPlainIdentifier(name) && !IsReservedSqlWord(name))
        return name;
    if (name.contains(QLatin1Char(']')))
        throw EDatabaseError(
            QStringLiteral("The name %1 cannot be written in the SQL mdbtools reads").arg(name));
    return QLatin1Char('[') + name + QLatin1Char(']');
}

}  // namespace

QString AccessReadOnlyReason() {
    return QStringLiteral("Access files are read-only here: mdbtools cannot change data");
}

std::unique_ptr<DbBackend> CreateAccessBackend(const QString& fileName) {
    return std::make_unique<TAccessBackend>(fileName);
}
