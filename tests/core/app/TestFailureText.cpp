// The texts of the system, SQLite, zlib and the cabinet library reach the user as French causes, with the user's
// file named and the technical text kept after them.
#include "core/app/FailureText.h"

#include <QTest>

#include <cerrno>

class TestFailureText : public QObject {
    Q_OBJECT

private slots:
    // As the libraries word them, with what they add around.
    void technicalTextsGetTheirCause_data() {
        QTest::addColumn<QString>("technical");
        QTest::addColumn<QString>("cause");
        QTest::newRow("full disk, system") << "No space left on device"
                                           << "le disque est plein";
        QTest::newRow("full disk, GIO") << "Error writing to file: No space left on device"
                                        << "le disque est plein";
        QTest::newRow("full disk, GIO in French")
            << "Erreur lors de l’écriture du fichier : Aucun espace disponible sur le périphérique"
            << "le disque est plein";
        QTest::newRow("full disk, SQLite") << "database or disk is full Unable to fetch row"
                                           << "le disque est plein";
        QTest::newRow("access") << "Permission denied"
                                << "accès refusé";
        QTest::newRow("read-only database") << "attempt to write a readonly database"
                                            << "accès refusé en écriture";
        QTest::newRow("not a database") << "file is not a database Unable to fetch row"
                                        << "ce fichier n'est pas une base de données";
        QTest::newRow("damaged cabinet") << "incorrect checksum detected"
                                         << "l'archive est endommagée";
        QTest::newRow("JPEG cut short") << "Premature end of JPEG file"
                                        << "le fichier est incomplet";
        QTest::newRow("read-only disk") << "Read-only file system"
                                        << "le disque n'accepte que la lecture";
        QTest::newRow("nothing to say") << "Unknown error"
                                        << "";
    }
    void technicalTextsGetTheirCause() {
        QFETCH(QString, technical);
        QFETCH(QString, cause);
        QCOMPARE(FrenchCause(technical), cause);
    }

    void systemErrorsGetTheirCause_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("cause");
        QTest::newRow("ENOSPC") << ENOSPC << "le disque est plein";
        QTest::newRow("EACCES") << EACCES << "accès refusé";
        QTest::newRow("EROFS") << EROFS << "le disque n'accepte que la lecture";
        QTest::newRow("EINTR") << EINTR << "";
    }
    void systemErrorsGetTheirCause() {
        QFETCH(int, number);
        QFETCH(QString, cause);
        QCOMPARE(FrenchCause(number), cause);
        QVERIFY(SystemFailureText(QStringLiteral("Impossible d'écrire le fichier"), QStringLiteral("/a/b.bkp"), number)
                    .contains(QStringLiteral("\nDétail technique : ")));
    }

    void theMessageNamesTheFileThenTheCauseThenTheDetail() {
        QCOMPARE(FailureText(QStringLiteral("Impossible d'écrire l'archive"), QStringLiteral("/home/u/a.bkp"),
                             QStringLiteral("No space left on device")),
                 QStringLiteral("Impossible d'écrire l'archive \"/home/u/a.bkp\" : le disque est plein.\n"
                                "Détail technique : No space left on device"));
        // Qt's text for a write cut short by a full disk says nothing: the errno of the failure does.
        QCOMPARE(FailureText(QStringLiteral("Impossible d'écrire l'archive"), QStringLiteral("/home/u/a.bkp"),
                             QStringLiteral("Unknown error"), ENOSPC),
                 QStringLiteral("Impossible d'écrire l'archive \"/home/u/a.bkp\" : le disque est plein.\n"
                                "Détail technique : Unknown error"));
        // An unknown text still leaves a French first line.
        QCOMPARE(FailureText(QStringLiteral("Impossible d'écrire l'archive"), QStringLiteral("/home/u/a.bkp"),
                             QStringLiteral("Unknown error")),
                 QStringLiteral("Impossible d'écrire l'archive \"/home/u/a.bkp\".\nDétail technique : Unknown error"));
    }
};

QTEST_GUILESS_MAIN(TestFailureText)
#include "TestFailureText.moc"
