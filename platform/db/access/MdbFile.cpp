#include "db/access/MdbFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

#include "core/Exception.h"
#include "db/access/MdbHeader.h"

namespace {

QString Shown(const QString& fileName) {
    return QDir::toNativeSeparators(fileName);
}

bool IsUtf8(const char* charset) {
    return charset && (qstricmp(charset, "UTF-8") == 0 || qstricmp(charset, "UTF8") == 0);
}

// libmdb converts to the charset named by MDB_ICONV; the program's texts are UTF-8, so a
// user's MDB_ICONV must not garble names and values. Jet 3 files keep 8-bit text in the code
// page named by MDB_JET3_CHARSET or the file header, later versions UCS-2.
void DecodeToUtf8(MdbHandle* mdb) {
    if (IsUtf8(mdb_target_charset(mdb)))
        return;
    QByteArray source = "UCS-2LE";
    if (IS_JET3(mdb)) {
        const char* jet3 = std::getenv("MDB_JET3_CHARSET");
        const unsigned codePage = mdb->f->code_page ? mdb->f->code_page : 1252;
        source = jet3 && *jet3 ? QByteArray(jet3) : "CP" + QByteArray::number(codePage);
    }
    mdb_iconv_close(mdb);
    mdb->iconv_in = iconv_open("UTF-8", source.constData());
    mdb->iconv_out = iconv_open(source.constData(), "UTF-8");
    if (mdb->iconv_in == iconv_t(-1) || mdb->iconv_out == iconv_t(-1))
        throw EDatabaseError(QStringLiteral("Cannot decode texts of the character set %1")
                                 .arg(QString::fromLatin1(source)));
}

}  // namespace

MdbHandlePtr OpenMdbFile(const QString& fileName) {
    const QFileInfo info(fileName);
    if (!info.exists())
        throw EDatabaseError(
            QStringLiteral("The database file %1 does not exist").arg(Shown(fileName)));
    QFile file(info.absoluteFilePath());
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw EDatabaseError(QStringLiteral("Cannot read the database file %1: %2")
                                 .arg(Shown(fileName), file.errorString()));
    if (!IsJetHeader(file.read(kJetHeaderSize)))
        throw EDatabaseError(
            QStringLiteral("%1 is not an Access (Jet) database file").arg(Shown(fileName)));
    file.close();

    // An absolute path keeps libmdb from searching the folders of MDBPATH for the name.
    MdbHandlePtr mdb(mdb_open(QFile::encodeName(info.absoluteFilePath()).constData(), MDB_NOFLAGS));
    if (!mdb)
        throw EDatabaseError(
            QStringLiteral("mdbtools cannot read the database file %1").arg(Shown(fileName)));
    DecodeToUtf8(mdb.get());
    if (!mdb_read_catalog(mdb.get(), MDB_ANY))
        throw EDatabaseError(
            QStringLiteral("mdbtools cannot read the catalog of %1").arg(Shown(fileName)));
    return mdb;
}
