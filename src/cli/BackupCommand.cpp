#include "cli/BackupCommand.h"

#include "app/DateRoutines.h"
#include "app/InstanceLock.h"
#include "app/Startup.h"
#include "cli/InfoCommand.h"
#include "cli/ProgressLine.h"
#include "db/Backup.h"
#include "db/BackupHistoryPurge.h"
#include "db/TDataModule1.h"

#include <QFileInfo>
#include <QTextStream>

Command BackupCommand() {
    return {QStringLiteral("backup"),
            QStringLiteral("Sauvegarde la base de données, les images et les fichiers dans une archive (par défaut "
                           "dans le dossier Backup des données)."),
            QStringLiteral("[FICHIER]"), [](CommandContext& context) {
                if (context.arguments.size() > 1) {
                    context.err << "backup prend au plus un argument : le fichier de sauvegarde." << Qt::endl;
                    return ExitStatus::kUsage;
                }
                // Relative to where the command was started.
                const QString chosen =
                    context.arguments.isEmpty() ? QString() : QFileInfo(context.arguments.first()).absoluteFilePath();
                InstanceLock lock;
                if (const int status = PrepareForCommand(context, lock); status != ExitStatus::kOk) return status;
                TDataModule1 dataModule;
                if (!ConnectDataModule(dataModule)) return ExitStatus::kFailure;
                const QString target = chosen.isEmpty() ? ProposedBackupName(Today()) : chosen;
                ProgressLine progress(context.err);
                QString error;
                if (!BackupDatabase(dataModule, target, kBackupDescription, progress, &error)) {
                    context.err << error << Qt::endl;
                    return ExitStatus::kFailure;
                }
                context.out << "Sauvegarde effectuée." << '\n' << target << Qt::endl;
                return ExitStatus::kOk;
            }};
}

Command HistoryCommand() {
    return {QStringLiteral("history"),
            QStringLiteral("Affiche l'historique des sauvegardes, restaurations et compactages ; --purge le vide."),
            QStringLiteral("[--purge]"), [](CommandContext& context) {
                const bool purge = context.arguments == QStringList{QStringLiteral("--purge")};
                if (!context.arguments.isEmpty() && !purge) {
                    context.err << "history ne prend que l'option --purge." << Qt::endl;
                    return ExitStatus::kUsage;
                }
                InstanceLock lock;
                if (const int status = PrepareForCommand(context, lock); status != ExitStatus::kOk) return status;
                TDataModule1 dataModule;
                if (!ConnectDataModule(dataModule)) return ExitStatus::kFailure;
                QString error;
                if (purge) {
                    if (!PurgeBackupHistory(dataModule, &error)) {
                        context.err << error << Qt::endl;
                        return ExitStatus::kFailure;
                    }
                    context.out << "Historique des sauvegardes purgé." << Qt::endl;
                    return ExitStatus::kOk;
                }
                QStringList lines;
                if (!BackupHistoryLines(dataModule, &lines, &error)) {
                    context.err << error << Qt::endl;
                    return ExitStatus::kFailure;
                }
                for (const QString& line : lines)
                    context.out << line << '\n';
                context.out.flush();
                return ExitStatus::kOk;
            }};
}
