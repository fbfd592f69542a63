#include "db/access/MdbHeader.h"

#include <QFile>
#include <QFileInfo>

bool IsJetHeader(const QByteArray& firstBytes) {
    if (firstBytes.size() < kJetHeaderSize || !firstBytes.startsWith(QByteArray("\0\1\0\0", 4)))
        return false;
    const QByteArray format = firstBytes.mid(4, 15);
    return format == "Standard Jet DB" || format == "Standard ACE DB";
}

bool IsJetDatabaseFile(const QString& fileName) {
    QFile file(fileName);
    return QFileInfo(fileName).isFile() && file.open(QIODevice::ReadOnly) &&
           IsJetHeader(file.read(kJetHeaderSize));
}
