#include "core/app/ShellOpeners.h"

#include "core/app/Folders.h"
#include "core/app/Product.h"
#include "support/RecordingMessages.h"
#include "support/SandboxHome.h"

#include <QDesktopServices>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// Stands in for the desktop: records the addresses it is asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class TestShellOpeners : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void openHelp();
    void openHelpWithoutHelpFile();
    void openHelpWithoutAProgramToOpenIt();
    void openWebSite();

private:
    UrlRecorder m_desktop;
};

void TestShellOpeners::init() {
    m_desktop.opened.clear();
    for (const char* scheme : {"file", "http", "https"})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), &m_desktop, "open");
}

void TestShellOpeners::cleanup() {
    for (const char* scheme : {"file", "http", "https"})
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
}

void TestShellOpeners::openHelp() {
    QTemporaryDir programDir;
    SetProgramDir(programDir.path());
    WriteTestFile(ProgramDir() + Product::kHelpFileName, "<html></html>");
    RecordingMessages messages;

    QVERIFY(OpenHelp());
    QCOMPARE(m_desktop.opened, QList<QUrl>{QUrl::fromLocalFile(ProgramDir() + Product::kHelpFileName)});
    QCOMPARE(messages.messages.size(), 0);
}

void TestShellOpeners::openHelpWithoutHelpFile() {
    QTemporaryDir programDir;
    SetProgramDir(programDir.path());
    RecordingMessages messages;

    QVERIFY(!OpenHelp());
    QCOMPARE(m_desktop.opened.size(), 0);
    QCOMPARE(messages.messages.size(), 1);
    QCOMPARE(messages.messages.first().text, QStringLiteral("Le fichier d'aide est introuvable !"));
}

// No program for the page (no browser, no desktop): the user is told where the page is, to open it by hand.
void TestShellOpeners::openHelpWithoutAProgramToOpenIt() {
    QTemporaryDir programDir;
    SetProgramDir(programDir.path());
    WriteTestFile(ProgramDir() + Product::kHelpFileName, "<html></html>");
    RecordingMessages messages;
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("QDesktopServices::openUrl")));

    QVERIFY(!OpenHelp());
    QCOMPARE(messages.messages.size(), 1);
    QCOMPARE(messages.messages.first().icon, MessageIcon::Warning);
    QVERIFY2(messages.messages.first().text.contains(QStringLiteral("\"") + ProgramDir() + Product::kHelpFileName +
                                                     QStringLiteral("\"")),
             qPrintable(messages.messages.first().text));
}

void TestShellOpeners::openWebSite() {
    QVERIFY(OpenWebSite());
    QCOMPARE(m_desktop.opened, QList<QUrl>{QUrl(Product::kWebSite)});
}

QTEST_GUILESS_MAIN(TestShellOpeners)
#include "TestShellOpeners.moc"
