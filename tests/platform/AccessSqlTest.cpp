#include <gtest/gtest.h>

#include "AccessTestSupport.h"
#include "core/Exception.h"

namespace {

struct WhereCase {
    const char* name;
    const char* sql;
    qsizetype rows;
};

class AccessWhere : public AccessBackendTest, public ::testing::WithParamInterface<WhereCase> {};

// Expected counts were taken from mdb-export output of the same tables.
TEST_P(AccessWhere, SelectsTheRowsTheConditionHoldsFor) {
    AccessResult result;
    Select(QString::fromUtf8(GetParam().sql), result);
    EXPECT_EQ(result.rows.RowCount(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Northwind, AccessWhere,
    ::testing::Values(
        WhereCase{"IsNull", "SELECT * FROM Customers WHERE Region IS NULL", 60},
        WhereCase{"IsNotNull", "SELECT * FROM Customers WHERE Region IS NOT NULL", 31},
        WhereCase{"NotOfNullIsUnknown", "SELECT * FROM Customers WHERE NOT Region = 'SP'", 25},
        WhereCase{"CurrencyAboveLiteral", "SELECT * FROM Products WHERE UnitPrice > 50", 7},
        WhereCase{"IsoDate", "SELECT * FROM Orders WHERE OrderDate >= '1995-01-01'", 709},
        WhereCase{"UsDate", "SELECT * FROM Orders WHERE OrderDate >= '1/1/95'", 709},
        WhereCase{"NotDateSkipsNulls", "SELECT * FROM Orders WHERE NOT ShippedDate > '1995-06-01'",
                  268},
        WhereCase{"AndOfIntegerAndSingle",
                  "SELECT * FROM [Order Details] WHERE Quantity >= 100 AND Discount > 0", 12},
        WhereCase{"OrOfTextAndNumber",
                  "SELECT * FROM Shippers WHERE CompanyName = 'Speedy Express' OR ShipperID = 3",
                  2},
        WhereCase{"NotEqual", "SELECT * FROM Shippers WHERE ShipperID <> 2", 2},
        WhereCase{"LiteralFirst", "SELECT * FROM Shippers WHERE 2 < ShipperID", 1},
        WhereCase{"YesAsOne", "SELECT * FROM Products WHERE Discontinued = 1", 8},
        WhereCase{"YesAsMinusOne", "SELECT * FROM Products WHERE Discontinued = -1", 8},
        WhereCase{"LikeIsCaseSensitive", "SELECT * FROM Shippers WHERE CompanyName LIKE 's%'", 0},
        WhereCase{"Like", "SELECT * FROM Shippers WHERE CompanyName LIKE 'S_eedy%'", 1},
        WhereCase{"Ilike", "SELECT * FROM Shippers WHERE CompanyName ILIKE '%PACKAGE'", 1},
        WhereCase{"QuotedNumber", "SELECT * FROM Shippers WHERE ShipperID = '3'", 1},
        WhereCase{"TwoLiterals", "SELECT * FROM Shippers WHERE 'a' = 'b'", 0},
        WhereCase{"Top", "SELECT TOP 2 * FROM Orders", 2},
        WhereCase{"Limit", "SELECT * FROM Orders WHERE ShipVia = 1 LIMIT 5", 5},
        WhereCase{"MultiLine", "SELECT *\nFROM [Order Details]\nWHERE OrderID = 10248;", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AccessBackendTest, CountStarGivesOneIntegerRow) {
    for (const auto& [sql, count] :
         {std::pair{"SELECT count(*) FROM [Order Details]", 2155},
          std::pair{"SELECT COUNT(*) FROM [Order Details] WHERE Quantity > 100", 13},
          std::pair{"SELECT count(*) FROM Customers WHERE Region IS NULL", 60}}) {
        AccessResult result;
        Select(QString::fromUtf8(sql), result);
        ASSERT_EQ(result.fields.size(), 1) << sql;
        EXPECT_EQ(result.fields[0].DataType, ftInteger);
        ASSERT_EQ(result.rows.RowCount(), 1) << sql;
        EXPECT_EQ(result.rows.Integer(0, 0), count) << sql;
    }
}

TEST_F(AccessBackendTest, SelectedColumnsComeInTheirOrderWithTableSpelling) {
    AccessResult result;
    Select(QStringLiteral("SELECT phone, ShipperID, phone FROM Shippers"), result);
    ASSERT_EQ(result.fields.size(), 3);
    EXPECT_EQ(result.fields[0].Name, QStringLiteral("Phone"));
    EXPECT_EQ(result.fields[1].DataType, ftAutoInc);
    EXPECT_EQ(ResultText(result, 2, "Phone"), QStringLiteral("(503) 555-9931"));
    EXPECT_EQ(result.rows.Raw(2, 2), result.rows.Raw(2, 0));
}

struct RefusalCase {
    const char* name;
    const char* sql;
    const char* message;  // a part of the error text
};

class AccessRefusals : public AccessBackendTest,
                       public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(AccessRefusals, RaiseAClearError) {
    try {
        AccessResult result;
        Select(QString::fromUtf8(GetParam().sql), result);
        FAIL() << "no error for " << GetParam().sql;
    } catch (const EDatabaseError& error) {
        EXPECT_TRUE(error.Message().contains(QString::fromUtf8(GetParam().message)))
            << error.Message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Northwind, AccessRefusals,
    ::testing::Values(
        RefusalCase{"OrderBy", "SELECT * FROM Shippers ORDER BY Phone", "mdbtools cannot run"},
        RefusalCase{"Join", "SELECT * FROM Orders, Customers", "mdbtools cannot run"},
        RefusalCase{"UnknownTable", "SELECT * FROM Nope", "Table Nope not found"},
        RefusalCase{"UnknownColumn", "SELECT Foo FROM Shippers", "a column it names"},
        RefusalCase{"UnknownConditionColumn", "SELECT * FROM Shippers WHERE Foo = 1",
                    "Column Foo not found in table Shippers"},
        RefusalCase{"TextAgainstNumber", "SELECT * FROM Shippers WHERE CompanyName > 3",
                    "Column CompanyName cannot be compared with 3"},
        RefusalCase{"NotADate", "SELECT * FROM Orders WHERE OrderDate > 'soon'",
                    "Column OrderDate cannot be compared with 'soon'"},
        RefusalCase{"LikeOnNumber", "SELECT * FROM Shippers WHERE ShipperID LIKE '1%'",
                    "LIKE needs a text column"},
        RefusalCase{"LiteralCutByParser",
                    "SELECT * FROM Customers WHERE Address = '"
                    "0123456789012345678901234567890123456789012345678901234567890123456789"
                    "0123456789012345678901234567890123456789012345678901234567890123456789"
                    "0123456789012345678901234567890123456789012345678901234567890123456789"
                    "0123456789012345678901234567890123456789012345678901234567890123456789'",
                    "more than 253 bytes"},
        RefusalCase{"LongTableName",
                    "SELECT * FROM [Order Details Order Details Order Details Order Details "
                    "Order Details Order Details Order Details Order Details Order Details "
                    "Order Details Order Details Order Details Order Details Order Details "
                    "Order Details Order Details Order Details Order Details Order Details]",
                    "not found"},
        RefusalCase{"Connect", "CONNECT TO '/tmp/other.mdb'", "mdbtools reads only SELECT"},
        RefusalCase{"Update", "UPDATE Shippers SET Phone = ''", "mdbtools reads only SELECT"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
