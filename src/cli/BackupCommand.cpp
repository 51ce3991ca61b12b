#include "cli/BackupCommand.h"

#include "cli/ProgressLine.h"
#include "core/app/DateRoutines.h"
#include "core/db/Backup.h"
#include "core/db/BackupHistoryPurge.h"

#include <QFileInfo>
#include <QTextStream>

#include <memory>

Command BackupCommand() {
    auto chosen = std::make_shared<QString>();
    return {QStringLiteral("backup"),
            QStringLiteral("Sauvegarde la base de données, les images et les fichiers dans une archive (par défaut "
                           "dans le dossier Backup des données)."),
            QStringLiteral("[FICHIER]"),
            CommandNeeds::Database,
            [chosen](CommandContext& context) {
                if (context.arguments.size() > 1) {
                    context.err << "backup prend au plus un argument : le fichier de sauvegarde." << Qt::endl;
                    return ExitStatus::kUsage;
                }
                // Relative to where the command was started.
                if (!context.arguments.isEmpty()) *chosen = QFileInfo(context.arguments.first()).absoluteFilePath();
                return ExitStatus::kOk;
            },
            [chosen](CommandContext& context) {
                const QString target = chosen->isEmpty() ? ProposedBackupName(Today()) : *chosen;
                ProgressLine progress(context.err);
                QString error;
                if (!BackupDatabase(*context.data, target, kBackupDescription, progress, &error))
                    return context.fail(error);
                context.out << "Sauvegarde effectuée." << '\n' << target << Qt::endl;
                return ExitStatus::kOk;
            }};
}

Command HistoryCommand() {
    auto purge = std::make_shared<bool>(false);
    return {QStringLiteral("history"),
            QStringLiteral("Affiche l'historique des sauvegardes, restaurations et compactages ; --purge le vide."),
            QStringLiteral("[--purge]"),
            CommandNeeds::Database,
            [purge](CommandContext& context) {
                *purge = context.arguments == QStringList{QStringLiteral("--purge")};
                if (!context.arguments.isEmpty() && !*purge) {
                    context.err << "history ne prend que l'option --purge." << Qt::endl;
                    return ExitStatus::kUsage;
                }
                return ExitStatus::kOk;
            },
            [purge](CommandContext& context) {
                QString error;
                if (*purge) {
                    if (!PurgeBackupHistory(*context.data, &error)) return context.fail(error);
                    context.out << "Historique des sauvegardes purgé." << Qt::endl;
                    return ExitStatus::kOk;
                }
                QStringList lines;
                if (!BackupHistoryLines(*context.data, &lines, &error)) return context.fail(error);
                for (const QString& line : lines)
                    context.out << line << '\n';
                context.out.flush();
                return ExitStatus::kOk;
            }};
}
