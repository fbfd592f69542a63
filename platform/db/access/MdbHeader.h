#pragma once

#include <QByteArray>
#include <QString>

// Whether the first bytes of a file are those of a Jet (.mdb) or ACE (.accdb) database.
bool IsJetHeader(const QByteArray& firstBytes);
// Whether the file exists and starts with a Jet or ACE header.
bool IsJetDatabaseFile(const QString& fileName);

// How many bytes IsJetHeader needs to look at.
constexpr int kJetHeaderSize = 19;
