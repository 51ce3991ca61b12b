#include "core/db/DatabaseTransaction.h"

#include <QSqlDatabase>
#include <QSqlError>

DatabaseTransaction::DatabaseTransaction(const QString& connectionName) : m_connectionName(connectionName) {}

DatabaseTransaction::~DatabaseTransaction() {
    rollback();
}

bool DatabaseTransaction::begin(QString* error) {
    if (m_active) return true;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen()) {
        if (error) *error = QStringLiteral("La base de données n'est pas ouverte.");
        return false;
    }
    if (!db.transaction()) {
        if (error) *error = db.lastError().text();
        return false;
    }
    m_active = true;
    return true;
}

bool DatabaseTransaction::commit(QString* error) {
    if (!m_active) return false;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (db.commit()) {
        m_active = false;
        return true;
    }
    if (error) *error = db.lastError().text();
    rollback();
    return false;
}

void DatabaseTransaction::rollback() {
    if (!m_active) return;
    m_active = false;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (db.isOpen()) db.rollback();
}
