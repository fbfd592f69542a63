#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "AccessTestSupport.h"
#include "core/Exception.h"

namespace {

// Test names allow letters and digits only.
std::string CaseName(const char* table) {
    return QString::fromUtf8(table).remove(' ').replace(QStringLiteral("ä"), "ae").toStdString();
}

QString OpenError(const QString& fileName) {
    try {
        CreateAccessBackend(fileName)->Open(std::nullopt);
    } catch (const EDatabaseError& error) {
        return error.Message();
    }
    return {};
}

TEST_F(AccessBackendTest, ListsUserTablesThenSavedQueriesWithoutSystemTables) {
    EXPECT_EQ(backend->TableNames(), QStringList({"Order Details",
                                                  "Orders",
                                                  "Products",
                                                  "Shippers",
                                                  "Categories",
                                                  "Customers",
                                                  "Employees",
                                                  "Suppliers",
                                                  QStringLiteral("Umsätze"),
                                                  "Alphabetical List of Products",
                                                  "Catalog",
                                                  "Category Sales for 1995",
                                                  "Current Product List",
                                                  "Customers and Suppliers by City",
                                                  "Employee Sales by Country",
                                                  "Invoices",
                                                  "Invoices Filter",
                                                  "Order Details Extended",
                                                  "Order Subtotals",
                                                  "Product Sales for 1995",
                                                  "Products by Category",
                                                  "Quarterly Orders",
                                                  "Quarterly Orders by Product",
                                                  "Sales by Year",
                                                  "Sales Totals by Amount",
                                                  "Summary of Sales by Year",
                                                  "Ten Most Expensive Products",
                                                  "Orders Qry",
                                                  "Products Above Average Price",
                                                  "Sales by Category",
                                                  "Summary of Sales by Quarter"}));
}

TEST_F(AccessBackendTest, ClosedBackendRefusesWork) {
    backend->Close();
    EXPECT_FALSE(backend->IsOpen());
    EXPECT_THROW(backend->TableNames(), EDatabaseError);
    EXPECT_THROW(backend->Query(QStringLiteral("SELECT * FROM Shippers")), EDatabaseError);
}

struct FieldCase {
    const char* table;
    const char* field;
    TFieldType type;
    int size;
};

class AccessFieldDefs : public AccessBackendTest,
                        public ::testing::WithParamInterface<FieldCase> {};

TEST_P(AccessFieldDefs, MapJetTypesAndSizes) {
    const TFieldDefs fields = backend->FieldDefs(QString::fromUtf8(GetParam().table));
    const auto found = std::find_if(fields.begin(), fields.end(), [](const TFieldDef& def) {
        return def.Name == QString::fromUtf8(GetParam().field);
    });
    ASSERT_NE(found, fields.end());
    EXPECT_EQ(found->DataType, GetParam().type);
    EXPECT_EQ(found->Size, GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Northwind, AccessFieldDefs,
                         ::testing::Values(FieldCase{"Employees", "LastName", ftString, 20},
                                           FieldCase{"Customers", "CustomerID", ftString, 5},
                                           FieldCase{"Employees", "Notes", ftMemo, 0},
                                           FieldCase{"Employees", "Photo", ftBlob, 0},
                                           FieldCase{"Employees", "BirthDate", ftDateTime, 0},
                                           FieldCase{"Employees", "ReportsTo", ftInteger, 0},
                                           FieldCase{"Shippers", "ShipperID", ftAutoInc, 0},
                                           FieldCase{"Order Details", "Quantity", ftSmallint, 0},
                                           FieldCase{"Order Details", "Discount", ftFloat, 0},
                                           FieldCase{"Order Details", "UnitPrice", ftCurrency, 0},
                                           FieldCase{"Products", "Discontinued", ftBoolean, 0},
                                           FieldCase{"Umsätze", "ShipCity", ftString, 15}),
                         [](const auto& info) {
                             return CaseName(info.param.table) + info.param.field;
                         });

TEST_F(AccessBackendTest, FieldDefsKeepTableOrderAndRefuseUnknownTables) {
    QStringList names;
    for (const TFieldDef& def : backend->FieldDefs(QStringLiteral("Shippers")))
        names << def.Name;
    EXPECT_EQ(names, QStringList({"ShipperID", "CompanyName", "Phone"}));
    EXPECT_THROW(backend->FieldDefs(QStringLiteral("Nope")), EDatabaseError);
}

struct CountCase {
    const char* table;
    qsizetype rows;
};

class AccessRowCounts : public AccessBackendTest,
                        public ::testing::WithParamInterface<CountCase> {};

// The counts are those mdb-export gives for the same tables.
TEST_P(AccessRowCounts, SelectAllAndOpenTableReadEveryRow) {
    const QString table = QString::fromUtf8(GetParam().table);
    AccessResult selected, opened, firstFew;
    Select(QStringLiteral("SELECT * FROM [%1]").arg(table), selected);
    ReadAllRows(backend->OpenTable(table, 0), opened);
    ReadAllRows(backend->OpenTable(table, 2), firstFew);
    EXPECT_EQ(selected.rows.RowCount(), GetParam().rows);
    EXPECT_EQ(opened.rows.RowCount(), GetParam().rows);
    EXPECT_EQ(firstFew.rows.RowCount(), 2);
    EXPECT_EQ(selected.fields.size(), backend->FieldDefs(table).size());
}

INSTANTIATE_TEST_SUITE_P(Northwind, AccessRowCounts,
                         ::testing::Values(CountCase{"Order Details", 2155},
                                           CountCase{"Orders", 830}, CountCase{"Products", 77},
                                           CountCase{"Shippers", 3}, CountCase{"Categories", 8},
                                           CountCase{"Customers", 91}, CountCase{"Employees", 9},
                                           CountCase{"Suppliers", 29}, CountCase{"Umsätze", 830}),
                         [](const auto& info) { return CaseName(info.param.table); });

TEST_F(AccessBackendTest, CellsAreTypedAndDatesAreIsoText) {
    AccessResult result;
    Select(QStringLiteral("SELECT * FROM Orders WHERE OrderID = 10330"), result);
    ASSERT_EQ(result.rows.RowCount(), 1);
    const TRowStore& rows = result.rows;
    EXPECT_EQ(rows.Kind(0, ResultColumn(result, "OrderID")), TRowStore::CellKind::Integer);
    EXPECT_EQ(rows.Integer(0, ResultColumn(result, "OrderID")), 10330);
    EXPECT_EQ(rows.Kind(0, ResultColumn(result, "Freight")), TRowStore::CellKind::Float);
    EXPECT_DOUBLE_EQ(rows.Float(0, ResultColumn(result, "Freight")), 12.75);
    EXPECT_EQ(ResultText(result, 0, "OrderDate"), QStringLiteral("1994-11-16T00:00:00"));
    EXPECT_EQ(ResultText(result, 0, "ShipAddress"),
              QStringLiteral("Carrera 52 con Ave. Bolívar #65-98 Llano Largo"));

    AccessResult details;
    Select(QStringLiteral("SELECT * FROM [Order Details] WHERE OrderID = 10452"), details);
    ASSERT_EQ(details.rows.RowCount(), 2);
    EXPECT_EQ(details.rows.Kind(1, ResultColumn(details, "Quantity")),
              TRowStore::CellKind::Integer);
    EXPECT_EQ(details.rows.Float(1, ResultColumn(details, "Discount")),
              0.05);  // a Single, as shown
    EXPECT_EQ(details.rows.Float(1, ResultColumn(details, "UnitPrice")), 15.5);

    AccessResult employee;
    Select(QStringLiteral("SELECT LastName, BirthDate FROM Employees WHERE EmployeeID = 1"),
           employee);
    EXPECT_EQ(ResultText(employee, 0, "BirthDate"), QStringLiteral("1948-12-08T00:00:00"));
}

TEST_F(AccessBackendTest, NullsStayNullAndYesNoIsOneOrZero) {
    AccessResult result;
    Select(QStringLiteral("SELECT CustomerID, Region FROM Customers"), result);
    qsizetype nulls = 0;
    for (qsizetype row = 0; row < result.rows.RowCount(); ++row)
        nulls += result.rows.IsNull(row, 1);
    EXPECT_EQ(nulls, 60);  // 31 customers have a region

    AccessResult products;
    Select(QStringLiteral("SELECT ProductName, Discontinued FROM Products"), products);
    qsizetype discontinued = 0;
    for (qsizetype row = 0; row < products.rows.RowCount(); ++row) {
        ASSERT_EQ(products.rows.Kind(row, 1), TRowStore::CellKind::Integer);
        discontinued += products.rows.Integer(row, 1);
    }
    EXPECT_EQ(discontinued, 8);
}

TEST_F(AccessBackendTest, MemoTextComesInFull) {
    AccessResult result;
    Select(QStringLiteral("SELECT Notes FROM Employees WHERE EmployeeID = 2"), result);
    ASSERT_EQ(result.rows.RowCount(), 1);
    const QString notes = ResultText(result, 0, "Notes");
    EXPECT_EQ(notes.toUtf8().size(), 448);
    EXPECT_TRUE(notes.startsWith(QStringLiteral("Andrew received his BTS commercial in 1974")));
    EXPECT_TRUE(notes.endsWith(QStringLiteral("and the Pacific Rim Importers Association.")));
}

TEST_F(AccessBackendTest, OleObjectsComeAsBytesAcrossValuePages) {
    AccessResult result;
    ReadAllRows(backend->OpenTable(QStringLiteral("Categories"), 0), result);
    ASSERT_EQ(result.rows.RowCount(), 8);
    for (qsizetype row = 0; row < 8; ++row) {
        ASSERT_EQ(result.rows.Kind(row, ResultColumn(result, "Picture")),
                  TRowStore::CellKind::Bytes);
        const std::string_view picture = result.rows.Raw(row, ResultColumn(result, "Picture"));
        EXPECT_EQ(picture.size(), 10746u);  // as mdb-export gives it
        EXPECT_EQ(picture.substr(0, 2), std::string_view("\x15\x1c", 2));
    }
}

TEST_F(AccessBackendTest, NonAsciiTableAndValuesReadAsUtf8) {
    AccessResult result;
    Select(QStringLiteral("SELECT * FROM Umsätze WHERE ShipCity = 'Montréal'"), result);
    ASSERT_EQ(result.rows.RowCount(), 13);
    EXPECT_EQ(ResultText(result, 0, "ShipName"), QStringLiteral("Mère Paillarde"));
    EXPECT_EQ(ResultText(result, 0, "ShipRegion"), QStringLiteral("Québec"));
}

TEST_F(AccessBackendTest, ForeignMdbIconvDoesNotGarbleNames) {
    const QByteArray previous = qgetenv("MDB_ICONV");
    qputenv("MDB_ICONV", "ISO-8859-1");
    auto latin = CreateAccessBackend(fileName);
    latin->Open(std::nullopt);
    AccessResult result;
    ReadAllRows(
        latin->Query(QStringLiteral("SELECT ShipCity FROM [Umsätze] WHERE OrderID = 10332")),
        result);
    const QStringList tables = latin->TableNames();
    if (previous.isNull())
        qunsetenv("MDB_ICONV");
    else
        qputenv("MDB_ICONV", previous);
    EXPECT_TRUE(tables.contains(QStringLiteral("Umsätze")));
    ASSERT_EQ(result.rows.RowCount(), 1);
    EXPECT_EQ(ResultText(result, 0, "ShipCity"), QStringLiteral("Montréal"));
}

TEST_F(AccessBackendTest, ExecuteIsRefusedAsReadOnly) {
    try {
        backend->Execute(QStringLiteral("DELETE FROM Shippers"));
        FAIL() << "Execute did not refuse";
    } catch (const EDatabaseError& error) {
        EXPECT_EQ(error.Message(),
                  QStringLiteral("Access files are read-only here: mdbtools cannot change data"));
    }
}

// Each result reads through its own handle: another query or a table definition read in
// between must not move the first one's position.
TEST_F(AccessBackendTest, InterleavedResultsDoNotDisturbEachOther) {
    const QString sql = QStringLiteral("SELECT OrderID, ShipName FROM Orders");
    AccessResult straight;
    Select(sql, straight);

    auto orders = backend->Query(sql);
    AccessResult interleaved;
    interleaved.rows.Reset(2);
    ASSERT_TRUE(orders->Fetch(interleaved.rows, 100));
    AccessResult other;
    ReadAllRows(backend->OpenTable(QStringLiteral("Order Details"), 0), other);
    backend->FieldDefs(QStringLiteral("Employees"));
    backend->TableNames();
    while (orders->Fetch(interleaved.rows, 100)) {
    }
    EXPECT_FALSE(orders->Fetch(interleaved.rows, 100));

    ASSERT_EQ(interleaved.rows.RowCount(), 830);
    ASSERT_EQ(straight.rows.RowCount(), 830);
    for (qsizetype row = 0; row < 830; ++row) {
        ASSERT_EQ(interleaved.rows.Integer(row, 0), straight.rows.Integer(row, 0)) << row;
        ASSERT_EQ(interleaved.rows.Raw(row, 1), straight.rows.Raw(row, 1)) << row;
    }
}

TEST(AccessBackendFiles, TextFileIsRefused) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.mdb"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Standard Jet DB, or so this text file claims\n");
    file.close();
    EXPECT_TRUE(OpenError(path).contains(QStringLiteral("is not an Access (Jet) database file")));
    EXPECT_FALSE(OpenError(dir.path()).isEmpty());
}

TEST(AccessBackendFiles, MissingFileIsRefusedAndNotCreated) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing.mdb"));
    EXPECT_TRUE(OpenError(path).contains(QStringLiteral("does not exist")));
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
