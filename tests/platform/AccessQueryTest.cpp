#include <gtest/gtest.h>

#include "AccessTestSupport.h"
#include "core/Exception.h"
#include "db/access/AccessQueries.h"

namespace {

const TAccessQuery* Find(const QList<TAccessQuery>& queries, const QString& name) {
    for (const TAccessQuery& query : queries)
        if (query.name == name)
            return &query;
    ADD_FAILURE() << "no saved query " << name.toStdString();
    return nullptr;
}

struct SqlCase {
    const char* query;
    const char* sql;
};

class AccessSavedQuerySql : public AccessBackendTest,
                            public ::testing::WithParamInterface<SqlCase> {};

TEST_P(AccessSavedQuerySql, IsRebuiltAsAccessShowsIt) {
    const QList<TAccessQuery> queries = ReadAccessQueries(fileName);
    const TAccessQuery* query = Find(queries, QString::fromUtf8(GetParam().query));
    ASSERT_NE(query, nullptr);
    EXPECT_EQ(AccessQuerySql(query->parts).toStdString(), GetParam().sql);
}

INSTANTIATE_TEST_SUITE_P(
    Northwind, AccessSavedQuerySql,
    ::testing::Values(
        SqlCase{"Ten Most Expensive Products",
                "SELECT DISTINCTROW TOP 10 Products.ProductName AS TenMostExpensiveProducts, "
                "Products.UnitPrice FROM [Products] ORDER BY Products.UnitPrice DESC"},
        SqlCase{"Current Product List",
                "SELECT [Product List].ProductID, [Product List].ProductName FROM [Products] AS "
                "[Product List] WHERE ((([Product List].Discontinued)=No)) ORDER BY "
                "[Product List].ProductName"},
        SqlCase{"Order Subtotals",
                "SELECT DISTINCTROW [Order Details].OrderID, "
                "Sum(CCur([UnitPrice]*[Quantity]*(1-[Discount])/100)*100) AS Subtotal FROM "
                "[Order Details] GROUP BY [Order Details].OrderID"},
        SqlCase{"Orders Qry",
                "SELECT DISTINCTROW Orders.OrderID, Orders.CustomerID, Orders.EmployeeID, "
                "Orders.OrderDate, Orders.RequiredDate, Orders.ShippedDate, Orders.ShipVia, "
                "Orders.Freight, Orders.ShipName, Orders.ShipAddress, Orders.ShipCity, "
                "Orders.ShipRegion, Orders.ShipPostalCode, Orders.ShipCountry, "
                "Customers.CompanyName, Customers.Address, Customers.City, Customers.Region, "
                "Customers.PostalCode, Customers.Country FROM [Customers] INNER JOIN [Orders] ON "
                "Customers.CustomerID = Orders.CustomerID"},
        SqlCase{"Quarterly Orders",
                "SELECT DISTINCTROW Customers.CustomerID, Customers.CompanyName, Customers.City, "
                "Customers.Country FROM [Customers] RIGHT JOIN [Orders] ON Customers.CustomerID = "
                "Orders.CustomerID WHERE (((Orders.OrderDate) Between #1/1/95# And #12/31/95#))"}),
    [](const auto& info) {
        std::string name = info.param.query;
        std::erase(name, ' ');
        return name;
    });

// nwind's saved queries all sort, group, join or read other queries: each says so by name.
TEST_F(AccessBackendTest, SavedQueryBeyondMdbtoolsFailsNamingItself) {
    const QList<TAccessQuery> queries = ReadAccessQueries(fileName);
    ASSERT_EQ(queries.size(), 22);
    for (const TAccessQuery& query : queries) {
        SCOPED_TRACE(query.name.toStdString());
        for (const QString& sql :
             {QStringLiteral("SELECT * FROM [%1]"), QStringLiteral("SELECT count(*) FROM [%1]")}) {
            try {
                backend->Query(sql.arg(query.name));
                ADD_FAILURE() << "ran";
            } catch (const EDatabaseError& error) {
                EXPECT_TRUE(error.Message().contains('"' + query.name + '"'))
                    << error.Message().toStdString();
            }
        }
        EXPECT_THROW(backend->FieldDefs(query.name), EDatabaseError);
    }
}

// A saved query within what mdbtools reads runs as the statement built for it.
TEST_F(AccessBackendTest, SimpleSavedQueryRunsThroughMdbtools) {
    const QList<TAccessQueryPart> parts{
        {1, 1, {}, {}, {}},
        {3, 8, {}, {}, {}},
        {5, 0, QStringLiteral("Products"), QStringLiteral("P"), {}},
        {6, 0, {}, {}, QStringLiteral("[P].ProductName")},
        {6, 0, {}, {}, QStringLiteral("Products.UnitPrice")},
        {8, 0, {}, {}, QStringLiteral("(((P.Discontinued)=Yes) AND ((P.UnitPrice)>20))")}};
    QString why;
    const QString sql = MdbtoolsQuerySql(
        parts, [](const QString&) { return false; }, why);
    EXPECT_EQ(
        sql.toStdString(),
        "SELECT ProductName, UnitPrice FROM [Products] WHERE Discontinued=1 AND UnitPrice>20");
    EXPECT_EQ(why.toStdString(), "");
    AccessResult result;
    Select(sql, result);
    ASSERT_EQ(result.fields.size(), 2);
    EXPECT_GT(result.rows.RowCount(), 0);

    QList<TAccessQueryPart> sorted = parts;
    sorted.append({11, 0, {}, {}, QStringLiteral("P.UnitPrice")});
    EXPECT_EQ(MdbtoolsQuerySql(
                  sorted, [](const QString&) { return false; }, why),
              QString());
    EXPECT_EQ(why, QStringLiteral("it sorts rows"));
}

}  // namespace
