#pragma once

// A main window over a database of its own, for the main window's tests: the starting database
// copied into a temporary data folder, the program's connection opened on it, a data module, and
// helpers that write persons and what they own directly into the tables.

#include "core/app/DateRoutines.h"
#include "core/app/Folders.h"
#include "core/app/Settings.h"
#include "core/db/Connection.h"
#include "core/db/TDataModule1.h"
#include "core/imaging/WindowsBitmap.h"
#include "core/records/PersonRecords.h"
#include "gui/controls/MessageBoxService.h"
#include "gui/mainwindow/TMainForm.h"
#include "support/FixtureDatabase.h"
#include "support/Screenshots.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class MainFormFixture {
public:
    MainFormFixture() {
        m_programDir = m_root.path() + QStringLiteral("/program/");
        m_dataDir = m_root.path() + QStringLiteral("/data/");
        QDir().mkpath(m_programDir);
        QDir().mkpath(m_dataDir + QStringLiteral("Data/Access"));
        SetProgramDir(m_programDir);
        SetDataDir(m_dataDir);
        SetDbDir(m_dataDir + QStringLiteral("Data/"));
        CurrentSettings() = Settings();
        QString error;
        m_ready =
            CopyStartingDatabase(databaseFile(), &error) && OpenDatabaseFile(kMainConnection, databaseFile(), &error);
        if (!m_ready) qWarning("%s", qPrintable(error));
        m_module = std::make_unique<TDataModule1>();
        InstallPersonRules(*m_module);
    }

    ~MainFormFixture() {
        m_form.reset();
        m_module.reset();
        CloseDatabase(kMainConnection);
    }

    bool ready() const { return m_ready; }
    QString databaseFile() const { return m_dataDir + QStringLiteral("Data/Access/KESTOVRAN.MDB"); }
    QString dataDir() const { return m_dataDir; }
    TDataModule1* module() const { return m_module.get(); }

    // Runs a statement with its values bound in order; fails the test when it does not run.
    static void Exec(const QString& statement, const QVariantList& values = {}) {
        QSqlQuery query(QSqlDatabase::database(kMainConnection, false));
        QVERIFY2(query.prepare(statement), qPrintable(query.lastError().text()));
        for (const QVariant& value : values)
            query.addBindValue(value);
        QVERIFY2(query.exec(), qPrintable(statement + QStringLiteral(": ") + query.lastError().text()));
    }

    static void AddPerson(qint64 id, const QString& name, const QString& foreName, const QString& number = {},
                          const QByteArray& thumbnail = {}) {
        Exec(
            QStringLiteral("INSERT INTO PERSON (Id, Id_File, Name, ForeName, [No], BirthDay_Date, Blood, ImgMini1) "
                           "VALUES (?, 0, ?, ?, ?, '1980-05-12', 'A+', ?)"),
            {id, name, foreName, number, thumbnail.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray)) : thumbnail});
    }

    static void AddEvent(qint64 personId, const QString& isoDate, const QString& time, const QString& text) {
        Exec(QStringLiteral("INSERT INTO EVENT (Id_Ref, Date_Event, Time_Event, Description) VALUES (?, ?, ?, ?)"),
             {personId, isoDate, time, text});
    }

    // A catalogue entry and its person-analysis.
    static void AddPersonAnalysis(qint64 id, qint64 personId, const QString& title) {
        Exec(QStringLiteral("INSERT INTO LST_ANALYSIS (Id, Title, Unit, \"Decimal\", Value_Min, Value_Max) "
                            "VALUES (?, ?, 'g/l', 2, 0.7, 1.1)"),
             {id, title});
        Exec(QStringLiteral("INSERT INTO L_ANALYSIS (Id, Id_File, Id_Ref, Id_Analysis, Unit, \"Decimal\", Value_Min, "
                            "Value_Max) VALUES (?, -1, ?, ?, 'g/l', 2, 0.7, 1.1)"),
             {id, personId, id});
    }

    static void AddResult(qint64 personAnalysisId, const QString& isoDate, double value) {
        Exec(QStringLiteral("INSERT INTO ANALYSIS (Id_Ref, Date_Analysis, Value_Analysis, Value_Min, Value_Max) "
                            "VALUES (?, ?, ?, 0.7, 1.1)"),
             {personAnalysisId, isoDate, value});
    }

    static void AddImageDocument(qint64 id, qint64 personId, const QString& title, const QByteArray& thumbnail) {
        Exec(QStringLiteral("INSERT INTO DOCUMENTIMG (Id, Id_Ref, Title, ImgMini, Id_File, DoType) "
                            "VALUES (?, ?, ?, ?, 0, 1)"),
             {id, personId, title, thumbnail});
    }

    static void AddFileDocument(qint64 id, qint64 personId, const QString& fileName) {
        Exec(QStringLiteral("INSERT INTO DOCUMENTFILE (Id, Id_File, Id_Ref, FileName, FileType, FileSize, Remark, "
                            "DoType) VALUES (?, 0, ?, ?, 'Document PDF', '12 Ko', '', 1)"),
             {id, personId, fileName});
    }

    // A thumbnail blob as the record editor stores it: a 115 x 115 bitmap with a coloured disc.
    static QByteArray Thumbnail(const QColor& colour, int side = 115) {
        QImage picture(side, side, QImage::Format_RGB32);
        picture.fill(QColor(250, 240, 220));
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(colour);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(side * 0.15, side * 0.1, side * 0.7, side * 0.8));
        painter.end();
        return WriteBitmapData(picture);
    }

    // Creates the main window and shows it.
    TMainForm* showForm() {
        m_form = std::make_unique<TMainForm>();
        m_form->show();
        if (!QTest::qWaitForWindowExposed(m_form.get())) qWarning("the main window was not exposed");
        return m_form.get();
    }
    TMainForm* form() const { return m_form.get(); }
    void closeForm() {
        if (m_form) m_form->close();
    }

private:
    QTemporaryDir m_root;
    QString m_programDir;
    QString m_dataDir;
    bool m_ready = false;
    std::unique_ptr<TDataModule1> m_module;
    std::unique_ptr<TMainForm> m_form;
};

// The window with the drop-down drawn where it opened, for a reviewer.
inline void SaveWithPickList(QWidget* window, QWidget* list, const QString& name) {
    const QString folder = qEnvironmentVariable("QUORVEL_SCREENSHOTS");
    if (folder.isEmpty()) return;
    const QRect windowRect(window->mapToGlobal(QPoint(0, 0)), window->size());
    const QRect both = windowRect.united(list->geometry());
    QImage picture(both.size(), QImage::Format_RGB32);
    picture.fill(Qt::darkGray);
    QPainter painter(&picture);
    painter.drawPixmap(windowRect.topLeft() - both.topLeft(), window->grab());
    painter.drawPixmap(list->geometry().topLeft() - both.topLeft(), list->grab());
    painter.end();
    QDir().mkpath(folder);
    QVERIFY(picture.save(folder + QLatin1Char('/') + name + QStringLiteral(".png")));
}

// Where the window tests start: message boxes recorded instead of shown, and the clock at a moment of their own.
inline void RecordMessagesWithClockAt(const QDateTime& now) {
    MessageBoxService::install();
    MessageBoxService::setTestMode(true);
    SetClockForTesting(now);
}

// The texts of the message boxes recorded since the last clearing, in order.
inline QStringList RecordedMessageTexts() {
    QStringList texts;
    for (const auto& message : MessageBoxService::recordedMessages())
        texts << message.text;
    return texts;
}

template <class T> T* Child(const QObject* parent, const QString& name) {
    T* child = parent->findChild<T*>(name);
    if (!child) qWarning("no child named %s", qPrintable(name));
    return child;
}
