#include "core/db/Compaction.h"

#include "core/app/FailureText.h"
#include "core/app/KillPoints.h"
#include "core/db/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <cstdio>

namespace {

QString AsideFile(const QString& databaseFile) {
    const QFileInfo info(databaseFile);
    return info.path() + QLatin1Char('/') + CompactionSourceName(info.fileName());
}

bool Rename(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

QString CompactionSourceName(const QString& fileName) {
    QString name = fileName;
    const qsizetype point = name.indexOf(QLatin1Char('.'));
    return point < 0 ? name + QLatin1Char('~') : name.insert(point, QLatin1Char('~'));
}

bool IsWholeDatabaseFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0"))) return false;
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    const quint32 storedPageSize = qFromBigEndian<quint16>(bytes + 16);
    const qint64 pageSize = storedPageSize == 1 ? 65536 : storedPageSize;
    if (pageSize < 512) return false;
    // The page count of the header holds only when it was written with the change counter it carries.
    const quint32 changeCounter = qFromBigEndian<quint32>(bytes + 24);
    const quint32 pageCount = qFromBigEndian<quint32>(bytes + 28);
    const quint32 validFor = qFromBigEndian<quint32>(bytes + 92);
    if (pageCount > 0 && validFor == changeCounter) return file.size() >= pageSize * pageCount;
    return file.size() > 0 && file.size() % pageSize == 0;
}

void RecoverInterruptedCompaction(const QString& databaseFile) {
    const QString aside = AsideFile(databaseFile);
    if (!QFileInfo::exists(databaseFile) && QFileInfo::exists(aside)) Rename(aside, databaseFile);
    // The compacted copy takes the database's name only once it is complete, so a database there and whole
    // makes both the original left aside and a copy cut short stale; they may be as large as the database.
    if (!IsWholeDatabaseFile(databaseFile)) return;
    QFile::remove(aside);
    QFile::remove(databaseFile + QStringLiteral(".part"));
}

bool CompactDatabaseInPlace(const QString& databaseFile, QString* error) {
    const QString aside = AsideFile(databaseFile);
    if (!QFileInfo(databaseFile).isFile()) {
        if (error) *error = QStringLiteral("La base de données \"%1\" est introuvable.").arg(databaseFile);
        return false;
    }
    // A copy left by an earlier compaction is stale once the database itself is there.
    QFile::remove(aside);
    if (!Rename(databaseFile, aside)) {
        if (error)
            *error =
                SystemFailureText(QStringLiteral("Impossible de compacter la base de données"), databaseFile, errno);
        return false;
    }
    if (!CompactDatabaseFile(aside, databaseFile, error, databaseFile)) {
        QFile::remove(databaseFile);
        Rename(aside, databaseFile);
        return false;
    }
    KillPointForTesting(kCompactionKillVariable, "renamed");
    QFile::remove(aside);
    return true;
}
