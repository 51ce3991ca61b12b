// Mail can be sent only when the sender's name and address and the server are all given.
#include "core/mail/SmtpSettingsCheck.h"

#include <QtTest>

class TestSmtpSettingsCheck : public QObject {
    Q_OBJECT
private slots:
    void check_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("expected");
        QTest::newRow("all given") << "Dr Martin"
                                   << "martin@example.org"
                                   << "smtp.example.org" << true;
        QTest::newRow("no name") << ""
                                 << "martin@example.org"
                                 << "smtp.example.org" << false;
        QTest::newRow("no address") << "Dr Martin"
                                    << ""
                                    << "smtp.example.org" << false;
        QTest::newRow("no server") << "Dr Martin"
                                   << "martin@example.org"
                                   << "" << false;
        QTest::newRow("nothing") << ""
                                 << ""
                                 << "" << false;
    }

    void check() {
        QFETCH(QString, name);
        QFETCH(QString, email);
        QFETCH(QString, host);
        QFETCH(bool, expected);
        Settings settings;
        settings.smtpName = name;
        settings.smtpEmail = email;
        settings.smtpHost = host;
        QCOMPARE(CheckSmtpSettings(settings), expected);
    }
};

QTEST_GUILESS_MAIN(TestSmtpSettingsCheck)
#include "TestSmtpSettingsCheck.moc"
