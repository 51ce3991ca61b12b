#include "core/db/Connection.h"

#include "core/app/FailureText.h"
#include "core/app/Folders.h"
#include "core/app/KillPoints.h"
#include "core/app/PrivateFiles.h"
#include "core/db/Compaction.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/FrenchCollation.h"
#include "core/db/SqlText.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

const QString kSqliteDriver = QStringLiteral("QSQLITE");
const QString kOdbcDriver = QStringLiteral("QODBC");

sqlite3* SqliteHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

bool Fail(const QString& connectionName, const QString& message, QString* error) {
    CloseDatabase(connectionName);
    if (error) *error = message;
    return false;
}

bool SameFile(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

} // namespace

QString StatementFor(const QSqlDatabase& db, const QString& statement) {
    return db.driverName() == kOdbcDriver ? BracketsToQuotes(statement) : statement;
}

bool AdoAvailable(QString* error) {
    const bool odbc = CurrentDatabaseSettings().provider == kProviderOdbc;
    const QString driver = odbc ? kOdbcDriver : kSqliteDriver;
    if (QSqlDatabase::isDriverAvailable(driver)) return true;
    if (error)
        *error = QStringLiteral("Le pilote de base de données %1 est introuvable. Installez le paquet %2.")
                     .arg(driver, odbc ? QStringLiteral("libqt6sql6-odbc") : QStringLiteral("libqt6sql6-sqlite"));
    return false;
}

namespace {

// Opens the SQLite connection; returns the reason when it cannot be used. The QSqlDatabase
// handle ends here, so the caller can remove a failed connection cleanly.
QString OpenSqliteConnection(const QString& connectionName, const QString& path) {
    QSqlDatabase db = QSqlDatabase::addDatabase(kSqliteDriver, connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    const QString lead = QStringLiteral("Impossible d'ouvrir la base de données");
    if (!db.open()) return FailureText(lead, path, db.lastError().text());
    {
        // Opening reads nothing yet: a first read tells a damaged or foreign file. The statement must
        // be finished before the collation can be installed.
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            return FailureText(lead, path, probe.lastError().text());
    }
    if (!RegisterFrenchCollation(SqliteHandle(db)))
        return QStringLiteral("Impossible de préparer l'ordre de tri de la base de données.");
    return {};
}

QString OpenOdbcConnection(const QString& connectionName, const QString& dataSource) {
    QSqlDatabase db = QSqlDatabase::addDatabase(kOdbcDriver, connectionName);
    db.setDatabaseName(dataSource);
    return db.open() ? QString() : db.lastError().text();
}

} // namespace

bool OpenDatabaseFile(const QString& connectionName, const QString& path, QString* error) {
    CloseDatabase(connectionName);
    // SQLite would create a missing file: a database that is not there must stay absent.
    if (!QFileInfo(path).isFile())
        return Fail(connectionName, QStringLiteral("La base de données \"%1\" est introuvable.").arg(path), error);
    const QString failure = OpenSqliteConnection(connectionName, path);
    return failure.isEmpty() || Fail(connectionName, failure, error);
}

bool OpenDatabase(const QString& connectionName, QString* error) {
    if (!DatabaseFileExists()) return true;
    const DatabaseSettings& settings = CurrentDatabaseSettings();
    if (settings.provider == kProviderOleDb) return OpenDatabaseFile(connectionName, DatabaseFile(), error);
    if (settings.provider == kProviderOdbc) {
        CloseDatabase(connectionName);
        const QString failure = OpenOdbcConnection(connectionName, settings.odbcName);
        return failure.isEmpty() || Fail(connectionName, failure, error);
    }
    if (error)
        *error = QStringLiteral("Fournisseur de données inconnu : \"%1\". Les valeurs reconnues de [DataBase] "
                                "Provider dans db.ini sont \"OLEDB\" et \"ODBC\".")
                     .arg(settings.provider);
    return false;
}

void CloseDatabase(const QString& connectionName) {
    if (!QSqlDatabase::contains(connectionName)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

bool CompactDatabaseFile(const QString& source, const QString& target, QString* error, const QString& shownName) {
    const QString shown = shownName.isEmpty() ? source : shownName;
    for (const QString& name : QSqlDatabase::connectionNames()) {
        const QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen() && db.driverName() == kSqliteDriver && SameFile(db.databaseName(), source)) {
            if (error) *error = QStringLiteral("La base de données \"%1\" est en cours d'utilisation.").arg(shown);
            return false;
        }
    }
    if (QFileInfo::exists(target) && !QFile::remove(target)) {
        if (error) *error = QStringLiteral("Impossible de remplacer le fichier \"%1\".").arg(target);
        return false;
    }

    // VACUUM INTO writes into an empty file that is there: made first, it has the user's mode only.
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    {
        QFile empty(partial);
        if (!OpenPrivately(empty, QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (error)
                *error = FailureText(QStringLiteral("Impossible d'écrire le fichier"), target, empty.errorString());
            return false;
        }
    }
    const QString connectionName = QStringLiteral("compact-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool done = OpenDatabaseFile(connectionName, source, error);
    if (done) {
        QSqlQuery vacuum(QSqlDatabase::database(connectionName, false));
        vacuum.prepare(QStringLiteral("VACUUM INTO ?"));
        vacuum.addBindValue(partial);
        done = vacuum.exec();
        if (!done && error)
            *error =
                FailureText(QStringLiteral("Le compactage de la base de données"), shown, vacuum.lastError().text());
    }
    CloseDatabase(connectionName);
    if (done) KillPointForTesting(kCompactionKillVariable, "copied");

    if (done) {
        // The copy must be on disk before it takes the target's name.
        QFile written(partial);
        done = written.open(QIODevice::ReadWrite) && ::fsync(written.handle()) == 0;
        int failure = errno;
        written.close();
        if (done && std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0) {
            done = false;
            failure = errno;
        }
        if (!done && error)
            *error = SystemFailureText(QStringLiteral("Impossible d'écrire le fichier"), target, failure);
    }
    if (!done) QFile::remove(partial);
    return done;
}
