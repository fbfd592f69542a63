#include <gtest/gtest.h>

#include <QFile>

#include "MainWindowFixture.h"
#include "support/SharedData.h"

// The ODBC kinds of the chooser against a test-local unixODBC configuration.
class OdbcKindsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        oldSysIni_ = qgetenv("ODBCSYSINI");
        oldIni_ = qgetenv("ODBCINI");
        WriteFile("odbcinst.ini",
                  "[MDBTools]\nDescription=MDBTools Driver\nDriver=libmdbodbc.so\n");
        WriteFile("odbc.ini",
                  "[MS Access 97 Database]\nDriver=MDBTools\nDescription=Access files\n");
        qputenv("ODBCSYSINI", temp.path().toLocal8Bit());
        qputenv("ODBCINI", temp.filePath("odbc.ini").toLocal8Bit());
    }
    void TearDown() override {
        qputenv("ODBCSYSINI", oldSysIni_);
        qputenv("ODBCINI", oldIni_);
        MainWindowTest::TearDown();
    }
    void WriteFile(const QString& name, const QByteArray& text) {
        QFile file(temp.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

  private:
    QByteArray oldSysIni_, oldIni_;
};

TEST_F(OdbcKindsTest, AccessDataSourceOpensTheCatalogFile) {
    REQUIRE_SHARED_FILE(nwind, "nwind.mdb");
    ChooseAdo(1, nwind);
    form->OpenADOButton->click();
    EXPECT_EQ(seam->Texts("error"), QStringList());
    EXPECT_EQ(Panel(0), QStringLiteral("ADO Connection open"));
    form->TableButton->click();
    EXPECT_FALSE(form->ListBox1->findItems(QStringLiteral("Umsätze"), Qt::MatchExactly).isEmpty());
}

TEST_F(OdbcKindsTest, UnknownDataSourceCannotOpen) {
    ChooseAdo(2, QStringLiteral("ORCL"));
    form->OpenADOButton->click();
    EXPECT_EQ(seam->Texts("message"), QStringList("Cannot open connection!"));
    ASSERT_EQ(seam->Texts("error").size(), 1);
    EXPECT_TRUE(seam->Texts("error").first().contains("Oracle Database"))
        << seam->Texts("error").first().toStdString();
    EXPECT_FALSE(form->IsConnected());
    EXPECT_EQ(seam->Cursor(), crDefault);
}
