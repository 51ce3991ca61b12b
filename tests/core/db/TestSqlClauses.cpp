#include "core/db/SqlClauses.h"

#include "support/SandboxHome.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QString Lines(const QStringList& lines) {
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

class TestSqlClauses : public QObject {
    Q_OBJECT

private slots:
    void findClauseLine_data();
    void findClauseLine();
    void rewriteQueryFile_data();
    void rewriteQueryFile();
    void rewriteQueryFileWithoutClauseLine_data();
    void rewriteQueryFileWithoutClauseLine();
    void rewriteMissingQueryFile();
};

void TestSqlClauses::findClauseLine_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<int>("index");
    const QStringList event = {QStringLiteral("SELECT * FROM EVENT"), QStringLiteral("WHERE Id_Ref = -1"),
                               QStringLiteral("ORDER BY Date_Event DESC")};
    QTest::newRow("event query, WHERE") << event << QStringLiteral("WHERE") << 1;
    QTest::newRow("event query, FROM") << event << QStringLiteral("FROM") << 0;
    QTest::newRow("event query, ORDER BY") << event << QStringLiteral("ORDER BY") << 2;
    QTest::newRow("event query, HAVING") << event << QStringLiteral("HAVING") << -1;
    QTest::newRow("lower-case line") << QStringList{QStringLiteral("select *"), QStringLiteral("from person")}
                                     << QStringLiteral("FROM") << 1;
    QTest::newRow("inside a longer word")
        << QStringList{QStringLiteral("SELECT Elsewhere_Flag"), QStringLiteral("WHERE 1")} << QStringLiteral("WHERE")
        << 0;
    QTest::newRow("first of two") << QStringList{QStringLiteral("WHERE a"), QStringLiteral("WHERE b")}
                                  << QStringLiteral("WHERE") << 0;
    QTest::newRow("empty statement") << QStringList() << QStringLiteral("WHERE") << -1;
}

void TestSqlClauses::findClauseLine() {
    QFETCH(QStringList, lines);
    QFETCH(QString, keyword);
    QFETCH(int, index);
    QCOMPARE(FindClauseLine(lines, keyword), index);
}

void TestSqlClauses::rewriteQueryFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("dropFirstLine");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("having");
    QTest::addColumn<QString>("orderBy");
    QTest::addColumn<QString>("expected");

    const QByteArray report = "Fiche d'une personne\r\nSELECT *\r\nFROM PERSON\r\nWHERE Id = -1\r\n";
    QTest::newRow("where only, title dropped")
        << report << true << QString() << QStringLiteral("Id = 12") << QString() << QString()
        << Lines({QStringLiteral("SELECT *"), QStringLiteral("FROM PERSON"), QStringLiteral("WHERE Id = 12")});
    QTest::newRow("nothing to replace, title kept")
        << report << false << QString() << QString() << QString() << QString()
        << Lines({QStringLiteral("Fiche d'une personne"), QStringLiteral("SELECT *"), QStringLiteral("FROM PERSON"),
                  QStringLiteral("WHERE Id = -1")});
    QTest::newRow("line feeds only, no final break")
        << QByteArray("SELECT *\nfrom PERSON\nwhere Id = -1") << false << QStringLiteral("L_ANALYSIS")
        << QStringLiteral("Id_Ref = 3") << QString() << QString()
        << Lines({QStringLiteral("SELECT *"), QStringLiteral("FROM L_ANALYSIS"), QStringLiteral("WHERE Id_Ref = 3")});

    const QByteArray grouped = "SELECT Id_Ref, COUNT(*)\r\nFROM ANALYSIS\r\nGROUP BY Id_Ref\r\nORDER BY Id_Ref\r\n";
    QTest::newRow("having inserted before the last ORDER BY line")
        << grouped << false << QString() << QString() << QStringLiteral("COUNT(*) > 2") << QString()
        << Lines({QStringLiteral("SELECT Id_Ref, COUNT(*)"), QStringLiteral("FROM ANALYSIS"),
                  QStringLiteral("GROUP BY Id_Ref"), QStringLiteral("HAVING COUNT(*) > 2"),
                  QStringLiteral("ORDER BY Id_Ref")});
    QTest::newRow("having inserted, then order replaced")
        << grouped << false << QString() << QString() << QStringLiteral("COUNT(*) > 2") << QStringLiteral("2 DESC")
        << Lines({QStringLiteral("SELECT Id_Ref, COUNT(*)"), QStringLiteral("FROM ANALYSIS"),
                  QStringLiteral("GROUP BY Id_Ref"), QStringLiteral("HAVING COUNT(*) > 2"),
                  QStringLiteral("ORDER BY 2 DESC")});
    QTest::newRow("having appended without a last ORDER BY line")
        << QByteArray("SELECT Id_Ref\nFROM ANALYSIS\nGROUP BY Id_Ref\n") << false << QString() << QString()
        << QStringLiteral("COUNT(*) > 1") << QString()
        << Lines({QStringLiteral("SELECT Id_Ref"), QStringLiteral("FROM ANALYSIS"), QStringLiteral("GROUP BY Id_Ref"),
                  QStringLiteral("HAVING COUNT(*) > 1")});
    QTest::newRow("having line replaced")
        << QByteArray("SELECT Id_Ref\nFROM ANALYSIS\nGROUP BY Id_Ref\nHAVING 1 = 1\nORDER BY Id_Ref\n") << false
        << QString() << QString() << QStringLiteral("COUNT(*) > 1") << QString()
        << Lines({QStringLiteral("SELECT Id_Ref"), QStringLiteral("FROM ANALYSIS"), QStringLiteral("GROUP BY Id_Ref"),
                  QStringLiteral("HAVING COUNT(*) > 1"), QStringLiteral("ORDER BY Id_Ref")});
    QTest::newRow("every clause, legacy code page")
        << QByteArray("Requ\xeate\r\nSELECT Nom\r\nFROM X\r\nWHERE 0\r\nORDER BY Nom\r\n") << true
        << QStringLiteral("PERSON") << QStringLiteral("Nom = 'Hélène'") << QStringLiteral("1 = 1")
        << QStringLiteral("Prénom")
        << Lines({QStringLiteral("SELECT Nom"), QStringLiteral("FROM PERSON"), QStringLiteral("WHERE Nom = 'Hélène'"),
                  QStringLiteral("HAVING 1 = 1"), QStringLiteral("ORDER BY Prénom")});
}

void TestSqlClauses::rewriteQueryFile() {
    QFETCH(QByteArray, file);
    QFETCH(bool, dropFirstLine);
    QFETCH(QString, from);
    QFETCH(QString, where);
    QFETCH(QString, having);
    QFETCH(QString, orderBy);
    QFETCH(QString, expected);
    QTemporaryDir root;
    const QString path = root.path() + QStringLiteral("/Fich.sql");
    WriteTestFile(path, file);

    QString error;
    QCOMPARE(RewriteQueryFile(path, dropFirstLine, from, where, having, orderBy, &error), expected);
    QCOMPARE(error, QString());
    QFile unchanged(path);
    QVERIFY(unchanged.open(QIODevice::ReadOnly));
    QCOMPARE(unchanged.readAll(), file);
}

void TestSqlClauses::rewriteQueryFileWithoutClauseLine_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("orderBy");
    QTest::addColumn<QString>("keyword");
    QTest::newRow("no WHERE line") << QString() << QStringLiteral("Id = 1") << QString() << QStringLiteral("WHERE");
    QTest::newRow("no ORDER BY line") << QString() << QString() << QStringLiteral("Nom") << QStringLiteral("ORDER BY");
    QTest::newRow("FROM dropped with the title")
        << QStringLiteral("PERSON") << QString() << QString() << QStringLiteral("FROM");
}

void TestSqlClauses::rewriteQueryFileWithoutClauseLine() {
    QFETCH(QString, from);
    QFETCH(QString, where);
    QFETCH(QString, orderBy);
    QFETCH(QString, keyword);
    QTemporaryDir root;
    const QString path = root.path() + QStringLiteral("/Stat.sql");
    WriteTestFile(path, "SELECT * FROM PERSON\r\n");

    QString error;
    QCOMPARE(RewriteQueryFile(path, true, from, where, QString(), orderBy, &error), QString());
    QCOMPARE(error, QStringLiteral("La requête du fichier \"%1\" n'a pas de ligne %2 à remplacer.").arg(path, keyword));
}

void TestSqlClauses::rewriteMissingQueryFile() {
    QTemporaryDir root;
    const QString path = root.path() + QStringLiteral("/missing.sql");
    QString error;
    QCOMPARE(RewriteQueryFile(path, false, QString(), QStringLiteral("1 = 1"), QString(), QString(), &error),
             QString());
    QVERIFY2(error.startsWith(QStringLiteral("Impossible de lire le fichier de requête \"") + path + QLatin1Char('"')),
             qPrintable(error));
}

QTEST_GUILESS_MAIN(TestSqlClauses)
#include "TestSqlClauses.moc"
