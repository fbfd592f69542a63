#include "db/AccessBackend.h"

#include "core/Exception.h"
#include "db/MdbCursor.h"
#include "db/MdbFieldType.h"
#include "db/MdbFile.h"

namespace {

// Catalog and table definitions come from the backend's own handle; every result set opens
// the file again, so reading one never disturbs another (libmdb keeps its page in the handle).
class TAccessBackend : public DbBackend {
  public:
    explicit TAccessBackend(QString fileName) : fileName_(std::move(fileName)) {}

    // Jet user-level security is not supported by mdbtools; a login is ignored.
    void Open(const std::optional<TLoginAnswer>&) override { mdb_ = OpenMdbFile(fileName_); }
    void Close() override { mdb_.reset(); }
    bool IsOpen() const override { return mdb_ != nullptr; }

    QStringList TableNames() override;
    TFieldDefs FieldDefs(const QString& table) override;

    int Execute(const QString&) override { throw EDatabaseError(AccessReadOnlyReason()); }
    qsizetype ExecuteWith(const QString&, const QVariantList&, TRowStore*) override {
        throw EDatabaseError(AccessReadOnlyReason());
    }
    void StartTransaction() override { throw EDatabaseError(AccessReadOnlyReason()); }
    void Commit() override {}
    void Rollback() override {}
    std::unique_ptr<TResultCursor> Query(const QString& sql) override {
        RequireOpen();
        return TMdbCursor::Select(fileName_, sql);
    }
    std::unique_ptr<TResultCursor> OpenTable(const QString& table, int maxRecords) override {
        RequireOpen();
        return TMdbCursor::Table(fileName_, table, maxRecords);
    }

  private:
    void RequireOpen() const {
        if (!mdb_)
            throw EDatabaseError(QStringLiteral("The Access database is not open"));
    }

    QString fileName_;
    MdbHandlePtr mdb_;
};

QStringList TAccessBackend::TableNames() {
    RequireOpen();
    if (!mdb_read_catalog(mdb_.get(), MDB_TABLE))
        throw EDatabaseError(QStringLiteral("mdbtools cannot read the table list"));
    // Saved queries are left out: libmdbsql cannot run their SQL (joins, expressions).
    QStringList names;
    for (unsigned i = 0; i < mdb_->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
        const QString name = QString::fromUtf8(entry->object_name);
        if (mdb_is_user_table(entry) &&
            !name.startsWith(QStringLiteral("MSys"), Qt::CaseInsensitive))
            names.append(name);
    }
    return names;
}

TFieldDefs TAccessBackend::FieldDefs(const QString& table) {
    RequireOpen();
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

}  // namespace

QString AccessReadOnlyReason() {
    return QStringLiteral("Access files are read-only here: mdbtools cannot change data");
}

std::unique_ptr<DbBackend> CreateAccessBackend(const QString& fileName) {
    return std::make_unique<TAccessBackend>(fileName);
}
