#include "gui/controls/MessageBoxService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryFile>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

namespace {

// Runs the call with stderr sent to a temporary file and returns what it wrote there.
template <class Call> QString CaptureStderr(Call call) {
    QTemporaryFile file;
    if (!file.open()) return QStringLiteral("<no temporary file>");
    std::fflush(stderr);
    const int saved = ::dup(2);
    ::dup2(file.handle(), 2);
    call();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    file.seek(0);
    return QString::fromLocal8Bit(file.readAll());
}

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Reads the box that opens next and presses the button with the given text.
void AnswerNextBox(BoxSeen* seen, const QString& press, int attempts = 50) {
    QTimer::singleShot(10, [seen, press, attempts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (attempts > 0) AnswerNextBox(seen, press, attempts - 1);
            return;
        }
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        QAbstractButton* pressed = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            seen->buttons << button->text();
            if (button->text() == press) pressed = button;
        }
        if (pressed)
            pressed->click();
        else
            box->done(-1); // the test fails on the buttons seen, it must not hang
    });
}

} // namespace

class TestMessageBoxService : public QObject {
    Q_OBJECT
private slots:
    void init() {
        MessageBoxService::install();
        MessageBoxService::setTestMode(true);
        MessageBoxService::setMainWindowExists(true);
    }
    void cleanup() {
        MessageBoxService::setTestMode(false);
        MessageBoxService::setMainWindowExists(false);
        SetMessageService(nullptr);
    }

    void recordsMessagesInTestMode_data() {
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shownTitle");
        QTest::newRow("information") << int(MessageIcon::Information) << "Sauvegarde"
                                     << "Sauvegarde";
        QTest::newRow("warning, no title") << int(MessageIcon::Warning) << ""
                                           << "Quorvel";
        QTest::newRow("error") << int(MessageIcon::Error) << "QUORVEL 1.13"
                               << "QUORVEL 1.13";
    }
    void recordsMessagesInTestMode() {
        QFETCH(int, icon);
        QFETCH(QString, title);
        QFETCH(QString, shownTitle);
        const QString text = QStringLiteral("IMPORTANT !!\n\nNE SUPPRIMEZ PAS CE REPERTOIRE");
        Messages().show(MessageIcon(icon), title, text);
        const auto recorded = MessageBoxService::recordedMessages();
        QCOMPARE(recorded.size(), 1);
        QCOMPARE(int(recorded.first().icon), icon);
        QCOMPARE(recorded.first().title, shownTitle);
        QCOMPARE(recorded.first().text, text);
        QVERIFY(!recorded.first().question);
    }

    void questionsTakeQueuedAnswersThenNo() {
        MessageBoxService::queueAnswerForTesting(true);
        MessageBoxService::queueAnswerForTesting(false);
        MessageBoxService::queueAnswerForTesting(true);
        QCOMPARE(Messages().ask(QString(), QStringLiteral("Première ?")), true);
        QCOMPARE(Messages().ask(QString(), QStringLiteral("Deuxième ?")), false);
        QCOMPARE(Messages().ask(QString(), QStringLiteral("Troisième ?")), true);
        QCOMPARE(Messages().ask(QString(), QStringLiteral("Quatrième ?")), false);

        const auto recorded = MessageBoxService::recordedMessages();
        QCOMPARE(recorded.size(), 4);
        QCOMPARE(recorded.at(1).text, QStringLiteral("Deuxième ?"));
        QCOMPARE(recorded.at(2).answer, true);
        QCOMPARE(recorded.at(3).answer, false);
        for (const auto& message : recorded) {
            QVERIFY(message.question);
            QCOMPARE(message.icon, MessageIcon::Question);
            QCOMPARE(message.title, QStringLiteral("Quorvel"));
        }
    }

    void leavingTestModeForgetsQueuedAnswers() {
        MessageBoxService::queueAnswerForTesting(true);
        MessageBoxService::setTestMode(false);
        MessageBoxService::setTestMode(true);
        QCOMPARE(Messages().ask(QString(), QStringLiteral("Continuer ?")), false);
    }

    void copiesToStderrUntilMainWindowExists_data() {
        QTest::addColumn<bool>("mainWindowExists");
        QTest::addColumn<bool>("question");
        QTest::newRow("message at start-up") << false << false;
        QTest::newRow("question at start-up") << false << true;
        QTest::newRow("message once running") << true << false;
        QTest::newRow("question once running") << true << true;
    }
    void copiesToStderrUntilMainWindowExists() {
        QFETCH(bool, mainWindowExists);
        QFETCH(bool, question);
        MessageBoxService::setMainWindowExists(mainWindowExists);
        const QString text = QStringLiteral("Quorvel est déjà en exécution.");
        const QString written = CaptureStderr([&] {
            if (question)
                Messages().ask(QString(), text);
            else
                Messages().show(MessageIcon::Information, QString(), text);
        });
        if (mainWindowExists) {
            QCOMPARE(written, QString());
        } else {
            QVERIFY2(written.contains(text), qPrintable(written));
            QVERIFY2(written.contains(QStringLiteral("Quorvel")), qPrintable(written));
        }
        // The copy never replaces the box: the message is still recorded.
        QCOMPARE(MessageBoxService::recordedMessages().size(), 1);
    }

    void showsBoxWithFrenchButtons_data() {
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("boxIcon");
        QTest::newRow("information") << int(MessageIcon::Information) << int(QMessageBox::Information);
        QTest::newRow("warning") << int(MessageIcon::Warning) << int(QMessageBox::Warning);
        QTest::newRow("error") << int(MessageIcon::Error) << int(QMessageBox::Critical);
    }
    void showsBoxWithFrenchButtons() {
        QFETCH(int, icon);
        QFETCH(int, boxIcon);
        MessageBoxService::setTestMode(false);
        BoxSeen seen;
        AnswerNextBox(&seen, QStringLiteral("OK"));
        // Markup in a message (a path, a typed name) is shown as it is.
        Messages().show(MessageIcon(icon), QString(), QStringLiteral("Le fichier \"<b>a.jpg</b>\""));
        QCOMPARE(seen.title, QStringLiteral("Quorvel"));
        QCOMPARE(seen.text, QStringLiteral("Le fichier \"<b>a.jpg</b>\""));
        QCOMPARE(int(seen.icon), boxIcon);
        QCOMPARE(seen.buttons, QStringList{QStringLiteral("OK")});
    }

    void asksWithOuiNon_data() {
        QTest::addColumn<QString>("press");
        QTest::addColumn<bool>("answer");
        QTest::newRow("Oui") << "Oui" << true;
        QTest::newRow("Non") << "Non" << false;
    }
    void asksWithOuiNon() {
        QFETCH(QString, press);
        QFETCH(bool, answer);
        MessageBoxService::setTestMode(false);
        BoxSeen seen;
        AnswerNextBox(&seen, press);
        QCOMPARE(Messages().ask(QStringLiteral("Suppression"), QStringLiteral("Supprimer ce document ?")), answer);
        QCOMPARE(seen.title, QStringLiteral("Suppression"));
        QCOMPARE(int(seen.icon), int(QMessageBox::Question));
        QCOMPARE(seen.buttons.size(), 2);
        QVERIFY(seen.buttons.contains(QStringLiteral("Oui")));
        QVERIFY(seen.buttons.contains(QStringLiteral("Non")));
    }
};

QTEST_MAIN(TestMessageBoxService)
#include "TestMessageBoxService.moc"
