#include "TextOutputFile.h"

#include "core/Exception.h"

TTextOutputFile::TTextOutputFile(const QString& fileName) : file_(fileName) {
    if (fileName.isEmpty() || !file_.open(QIODevice::WriteOnly))
        Fail(QStringLiteral("Cannot create file"));
}

void TTextOutputFile::Write(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    if (file_.write(bytes) != bytes.size())
        Fail(QStringLiteral("Cannot write to file"));
}

void TTextOutputFile::Commit() {
    if (!file_.commit())
        Fail(QStringLiteral("Cannot write to file"));
}

void TTextOutputFile::Fail(const QString& what) {
    throw EInOutError(
        QStringLiteral("%1 \"%2\". %3").arg(what, file_.fileName(), file_.errorString()));
}
