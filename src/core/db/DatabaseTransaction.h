#pragma once

#include "core/db/Connection.h"

#include <QString>

// A transaction on one connection: begin() opens it, commit() makes it last, and a transaction that was begun but
// not committed is rolled back when the guard goes, whatever path leaves the scope.
class DatabaseTransaction {
public:
    explicit DatabaseTransaction(const QString& connectionName = kMainConnection);
    ~DatabaseTransaction();
    DatabaseTransaction(const DatabaseTransaction&) = delete;
    DatabaseTransaction& operator=(const DatabaseTransaction&) = delete;

    bool begin(QString* error = nullptr);
    // False, with the database's reason, when the commit failed; the transaction is rolled back then.
    bool commit(QString* error = nullptr);
    void rollback();
    bool isActive() const { return m_active; }

private:
    QString m_connectionName;
    bool m_active = false;
};
