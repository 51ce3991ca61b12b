#include "cli/InfoCommand.h"

#include "app/Folders.h"
#include "app/InstanceLock.h"
#include "app/Product.h"
#include "app/Startup.h"
#include "cli/ProgressLine.h"
#include "db/Connection.h"
#include "db/DatabaseSettings.h"
#include "db/DatasetRoutines.h"
#include "db/DbVersion.h"
#include "db/TDataModule1.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QTextStream>

int PrepareForCommand(CommandContext& context, InstanceLock& lock)
{
    ProgressLine progress(context.err);
    switch (PrepareDataFolders(QDir::currentPath(), QCoreApplication::applicationDirPath(), lock, progress)) {
    case StartupOutcome::Ready: return ExitStatus::kOk;
    case StartupOutcome::AlreadyRunning: return ExitStatus::kAlreadyRunning;
    case StartupOutcome::Failed: break;
    }
    return ExitStatus::kFailure;
}

namespace {

void PrintDatabaseContent(QTextStream& out)
{
    const QSqlDatabase db = QSqlDatabase::database(kMainConnection, false);
    out << "Version de la base : " << GetDbVersion(kMainConnection, QStringLiteral("OBJECT_VAL_STR"),
                                                   VersionColumn(kMainConnection))
        << '\n';
    QStringList tables = db.tables();
    tables.sort(Qt::CaseInsensitive);
    for (const QString& table : tables) {
        if (table.startsWith(QLatin1String("sqlite_"))) continue;
        const qint64 rows = QueryInteger(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table), kMainConnection);
        out << "  " << table << " : " << rows << '\n';
    }
}

} // namespace

Command InfoCommand()
{
    return {QStringLiteral("info"),
            QStringLiteral("Prépare les dossiers de données et affiche où se trouvent le programme, les données et "
                           "la base, la version, et le nombre de lignes de chaque table."),
            QString(), [](CommandContext& context) {
                if (!context.arguments.isEmpty()) {
                    context.err << "info ne prend pas d'argument." << Qt::endl;
                    return ExitStatus::kUsage;
                }
                InstanceLock lock;
                if (const int status = PrepareForCommand(context, lock); status != ExitStatus::kOk) return status;
                context.out << "ProgramDir : " << ProgramDir() << '\n'
                            << "DataDir : " << DataDir() << '\n'
                            << "DbDir : " << DbDir() << '\n'
                            << "Base de données : " << DatabaseFile() << '\n'
                            << "Version : " << Product::kVersion << '\n'
                            << "Fournisseur : " << CurrentDatabaseSettings().provider << '\n';
                TDataModule1 dataModule;
                if (!ConnectDataModule(dataModule)) return ExitStatus::kFailure;
                PrintDatabaseContent(context.out);
                context.out.flush();
                return ExitStatus::kOk;
            }};
}
