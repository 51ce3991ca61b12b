#pragma once

#include <QtGlobal>

class QString;
class TDataModule1;

// The time during which the data set's files are worked on: the connection is closed (every standing
// query with it) and opened again afterwards, with the Person query reopened. Resuming happens at the
// latest when the session ends, whatever happened in between.
class BackupWorkSession {
public:
    // Remembers the current person's Id and closes the connection.
    explicit BackupWorkSession(TDataModule1& dataModule);
    ~BackupWorkSession();
    BackupWorkSession(const BackupWorkSession&) = delete;
    BackupWorkSession& operator=(const BackupWorkSession&) = delete;

    // Opens the connection again and reopens the Person query, back on the remembered person when
    // backOnPerson (a restored data set has other persons). False with the driver's message when the
    // database cannot be opened; the session counts as resumed all the same.
    bool resume(bool backOnPerson, QString* error = nullptr);
    // The two halves of resume, for work that needs the connection before the windows read again.
    bool reconnect(QString* error = nullptr);
    bool reopenPerson(bool backOnPerson, QString* error = nullptr);

    qint64 rememberedPersonId() const { return m_personId; }

private:
    TDataModule1& m_dataModule;
    qint64 m_personId = -1;
    bool m_resumed = false;
};
