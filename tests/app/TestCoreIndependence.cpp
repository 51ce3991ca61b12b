// The core library must never use QtWidgets: the command-line tool and the engines run without it.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

class TestCoreIndependence : public QObject {
    Q_OBJECT
private slots:
    void coreSourcesIncludeNoWidgetHeader()
    {
        QSet<QString> widgetHeaders;
        const QDir widgets(QStringLiteral(QUORVEL_QTWIDGETS_INCLUDE_DIR));
        for (const QString& name : widgets.entryList(QDir::Files)) widgetHeaders.insert(name);
        QVERIFY2(widgetHeaders.contains(QStringLiteral("QWidget")), QUORVEL_QTWIDGETS_INCLUDE_DIR);

        QFile list(QStringLiteral(QUORVEL_CORE_SOURCES_LIST));
        QVERIFY(list.open(QIODevice::ReadOnly));
        const QStringList sources = QString::fromUtf8(list.readAll()).split('\n', Qt::SkipEmptyParts);
        QVERIFY(sources.size() > 10);

        static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*[<\"]([^>\"]+)[>\"]"),
                                                QRegularExpression::MultilineOption);
        QStringList offenders;
        for (const QString& path : sources) {
            QFile source(path);
            QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(path));
            auto it = include.globalMatch(QString::fromUtf8(source.readAll()));
            while (it.hasNext()) {
                const QString header = it.next().captured(1);
                const bool viaModule = header.startsWith(QLatin1String("QtWidgets"));
                if (viaModule || widgetHeaders.contains(header)) offenders << path + QStringLiteral(": ") + header;
            }
        }
        QVERIFY2(offenders.isEmpty(), qPrintable(offenders.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestCoreIndependence)
#include "TestCoreIndependence.moc"
