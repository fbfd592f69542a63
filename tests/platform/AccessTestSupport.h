#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "db/access/AccessBackend.h"
#include "db/dataset/RowStore.h"
#include "support/SharedData.h"

// A result read to its end, and a backend open on the shared Northwind file.

struct AccessResult {
    TFieldDefs fields;
    TRowStore rows;
};

inline void ReadAllRows(std::unique_ptr<TResultCursor> cursor, AccessResult& result,
                        qsizetype batch = 64) {
    result.fields = cursor->Fields();
    result.rows.Reset(int(result.fields.size()));
    while (cursor->Fetch(result.rows, batch)) {
    }
}

inline int ResultColumn(const AccessResult& result, const QString& name) {
    for (int i = 0; i < result.fields.size(); ++i)
        if (result.fields[i].Name == name)
            return i;
    ADD_FAILURE() << "no column " << name.toStdString();
    return 0;
}

inline QString ResultText(const AccessResult& result, qsizetype row, const QString& column) {
    const std::string_view raw = result.rows.Raw(row, ResultColumn(result, column));
    return QString::fromUtf8(raw.data(), qsizetype(raw.size()));
}

class AccessBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_SHARED_FILE(file, "nwind.mdb");
        fileName = file;
        backend = CreateAccessBackend(fileName);
        backend->Open(std::nullopt);
    }

    void Select(const QString& sql, AccessResult& result) {
        ReadAllRows(backend->Query(sql), result);
    }

    QString fileName;
    std::unique_ptr<DbBackend> backend;
};
