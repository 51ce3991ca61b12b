#include "cli/CompactCommand.h"

#include "app/InstanceLock.h"
#include "app/Startup.h"
#include "cli/InfoCommand.h"
#include "db/BackupHistory.h"
#include "db/Compaction.h"
#include "db/Connection.h"
#include "db/DatabaseSettings.h"
#include "db/TDataModule1.h"

#include <QTextStream>

Command CompactCommand()
{
    return {QStringLiteral("compact"),
            QStringLiteral("Compacte la base de données ; en cas d'échec la base reste telle qu'elle était."),
            QString(), [](CommandContext& context) {
                if (!context.arguments.isEmpty()) {
                    context.err << "compact ne prend pas d'argument." << Qt::endl;
                    return ExitStatus::kUsage;
                }
                InstanceLock lock;
                if (const int status = PrepareForCommand(context, lock); status != ExitStatus::kOk) return status;
                if (CurrentDatabaseSettings().provider != kProviderOleDb) {
                    context.err << "Seule une base de données locale (fournisseur OLEDB) peut être compactée."
                                << Qt::endl;
                    return ExitStatus::kFailure;
                }
                TDataModule1 dataModule;
                if (!ConnectDataModule(dataModule)) return ExitStatus::kFailure;
                QString error;
                if (!AddHistoryRow(*dataModule.Backup, QStringLiteral("Compactage de la base de données"),
                                   DatabaseFile(), &error)) {
                    context.err << error << Qt::endl;
                    return ExitStatus::kFailure;
                }
                dataModule.disconnectDatabase();
                context.err << "Compactage de la base : Quelques instants, SVP ..." << Qt::endl;
                const bool compacted = CompactDatabaseInPlace(DatabaseFile(), &error);
                QString reopenError;
                const bool reopened = dataModule.connectDatabase(&reopenError);
                if (!compacted) {
                    context.err << error << Qt::endl;
                    return ExitStatus::kFailure;
                }
                if (!reopened) {
                    context.err << reopenError << Qt::endl;
                    return ExitStatus::kFailure;
                }
                context.out << "Compactage effectué." << Qt::endl;
                return ExitStatus::kOk;
            }};
}
