#include "cli/CompactCommand.h"

#include "core/app/DateRoutines.h"
#include "core/db/Backup.h"
#include "core/db/BackupHistory.h"
#include "core/db/Compaction.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/TDataModule1.h"

#include <QTextStream>

Command CompactCommand() {
    return {QStringLiteral("compact"),
            QStringLiteral("Compacte la base de données ; en cas d'échec la base reste telle qu'elle était."),
            QString(),
            CommandNeeds::Database,
            {},
            [](CommandContext& context) {
                if (CurrentDatabaseSettings().provider != kProviderOleDb)
                    return context.fail(
                        QStringLiteral("Seule une base de données locale (fournisseur OLEDB) peut être compactée."));
                TDataModule1& dataModule = *context.data;
                QString error;
                const QDateTime started = Now();
                dataModule.disconnectDatabase();
                context.err << "Compactage de la base : Quelques instants, SVP ..." << Qt::endl;
                const bool compacted = CompactDatabaseInPlace(DatabaseFile(), &error);
                QString reopenError;
                const bool reopened = dataModule.connectDatabase(&reopenError);
                if (!compacted) return context.fail(error);
                if (!reopened) return context.fail(reopenError);
                if (!AddHistoryRow(*dataModule.Backup, kCompactDescription, DatabaseFile(), &error, started))
                    return context.fail(error);
                context.out << "Compactage effectué." << Qt::endl;
                return ExitStatus::kOk;
            }};
}
