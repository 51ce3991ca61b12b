#pragma once

#include <QObject>

class Dataset;

// The data module: the connection to the database and the standing queries through which every
// window reads and writes. Each per-owner query keeps its WHERE clause on a line of its own, which
// the windows replace before reopening it.
class TDataModule1 : public QObject {
    Q_OBJECT
public:
    explicit TDataModule1(QObject* parent = nullptr);
    ~TDataModule1() override;

    // Opens the connection (ADOConnection1) on the database of db.ini; error holds the driver's message.
    bool connectDatabase(QString* error = nullptr);
    bool isConnected() const;
    // Closes every query and the connection (before the file is compacted or replaced).
    void disconnectDatabase();

    QList<Dataset*> standingQueries() const;

    Dataset* const Person;
    Dataset* const ComboItems;
    Dataset* const CustomLabel;
    Dataset* const Event;
    Dataset* const DocumentImg;
    Dataset* const DocumentFile;
    Dataset* const Lst_Analysis;
    Dataset* const L_Analysis;
    Dataset* const Analysis;
    Dataset* const Backup;
    Dataset* const Query;
    // The report queries: the person report's main query, its results and its events.
    Dataset* const ReportQuery;
    Dataset* const ReportAnalysis;
    Dataset* const ReportEvent;
};

// The program's data module while one exists; nullptr otherwise.
TDataModule1* DataModule1();
