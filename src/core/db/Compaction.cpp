#include "core/db/Compaction.h"

#include "core/db/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString AsideFile(const QString& databaseFile) {
    const QFileInfo info(databaseFile);
    return info.path() + QLatin1Char('/') + CompactionSourceName(info.fileName());
}

} // namespace

QString CompactionSourceName(const QString& fileName) {
    QString name = fileName;
    const qsizetype point = name.indexOf(QLatin1Char('.'));
    return point < 0 ? name + QLatin1Char('~') : name.insert(point, QLatin1Char('~'));
}

void RecoverInterruptedCompaction(const QString& databaseFile) {
    const QString aside = AsideFile(databaseFile);
    if (!QFileInfo::exists(databaseFile) && QFileInfo::exists(aside)) QFile::rename(aside, databaseFile);
}

bool CompactDatabaseInPlace(const QString& databaseFile, QString* error) {
    const QString aside = AsideFile(databaseFile);
    if (!QFileInfo(databaseFile).isFile()) {
        if (error) *error = QStringLiteral("La base de données \"%1\" est introuvable.").arg(databaseFile);
        return false;
    }
    // A copy left by an earlier compaction is stale once the database itself is there.
    QFile::remove(aside);
    if (!QFile::rename(databaseFile, aside)) {
        if (error) *error = QStringLiteral("Impossible de renommer la base de données \"%1\".").arg(databaseFile);
        return false;
    }
    if (!CompactDatabaseFile(aside, databaseFile, error)) {
        QFile::remove(databaseFile);
        QFile::rename(aside, databaseFile);
        return false;
    }
    QFile::remove(aside);
    return true;
}
