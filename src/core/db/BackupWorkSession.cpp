#include "core/db/BackupWorkSession.h"

#include "core/db/Dataset.h"
#include "core/db/TDataModule1.h"

#include <QString>

BackupWorkSession::BackupWorkSession(TDataModule1& dataModule) : m_dataModule(dataModule) {
    Dataset& person = *m_dataModule.Person;
    if (person.isOpen() && !person.isEmpty()) m_personId = person.asInteger(QStringLiteral("Id"));
    m_dataModule.disconnectDatabase();
}

BackupWorkSession::~BackupWorkSession() {
    if (!m_resumed) resume(true);
}

bool BackupWorkSession::resume(bool backOnPerson, QString* error) {
    return reconnect(error) && reopenPerson(backOnPerson, error);
}

bool BackupWorkSession::reconnect(QString* error) {
    m_resumed = true;
    return m_dataModule.connectDatabase(error);
}

bool BackupWorkSession::reopenPerson(bool backOnPerson, QString* error) {
    m_resumed = true;
    // A database that is not there (an ODBC set-up, a file removed) leaves the connection closed.
    if (!m_dataModule.isConnected()) return true;
    Dataset& person = *m_dataModule.Person;
    if (!person.open(error)) return false;
    if (backOnPerson && m_personId >= 0) person.locate(m_personId);
    return true;
}
