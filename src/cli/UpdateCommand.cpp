#include "cli/UpdateCommand.h"

#include "app/Folders.h"
#include "app/InstanceLock.h"
#include "app/Startup.h"
#include "cli/InfoCommand.h"
#include "db/Connection.h"
#include "db/DatabaseSettings.h"
#include "db/StartupUpdate.h"
#include "db/TDataModule1.h"

#include <QFileInfo>
#include <QTextStream>

namespace {

const QString kBackupOption = QStringLiteral("--backup");

} // namespace

Command UpdateCommand() {
    return {QStringLiteral("update-db"),
            QStringLiteral("Met à jour la base de données avec le script donné, ou avec les scripts en attente dans "
                           "le dossier de données comme au démarrage, et affiche le journal Maj.Log au fur et à "
                           "mesure. --backup fait d'abord une copie de la base dans Backup/Maj/."),
            QStringLiteral("[SCRIPT] [--backup]"), [](CommandContext& context) {
                bool backup = false;
                QString script;
                for (const QString& argument : context.arguments) {
                    if (argument == kBackupOption) {
                        backup = true;
                    } else if (argument.startsWith(QLatin1Char('-')) || !script.isEmpty()) {
                        context.err << "update-db [SCRIPT] [--backup] : argument inattendu : " << argument << Qt::endl;
                        return ExitStatus::kUsage;
                    } else {
                        // Named from the folder the command was started in.
                        script = QFileInfo(argument).absoluteFilePath();
                    }
                }
                if (!script.isEmpty() && !QFileInfo(script).isFile()) {
                    context.err << "Le fichier \"" << script << "\" est introuvable." << Qt::endl;
                    return ExitStatus::kFailure;
                }

                InstanceLock lock;
                if (const int status = PrepareForCommand(context, lock); status != ExitStatus::kOk) return status;
                TDataModule1 dataModule;
                if (!ConnectDataModule(dataModule)) return ExitStatus::kFailure;
                if (!DatabaseFileExists()) {
                    context.err << "La base de données \"" << DatabaseFile() << "\" est introuvable." << Qt::endl;
                    return ExitStatus::kFailure;
                }

                UpdateFeedback feedback;
                feedback.logObserver = [&](const QString& line) { context.out << line << Qt::endl; };
                const UpdateBackup backupChoice = backup ? UpdateBackup::Always : UpdateBackup::Never;
                if (script.isEmpty())
                    return PrepareDatabaseVersion(feedback, backupChoice) ? ExitStatus::kOk : ExitStatus::kFailure;

                UpdateScriptOptions options;
                options.connectionName = kMainConnection;
                options.databaseFolder = DbDir();
                options.backup = backupChoice;
                options.feedback = feedback;
                const QFileInfo file(script);
                QString error;
                if (RunUpdateScript(file.path(), file.fileName(), options, &error)) return ExitStatus::kOk;
                context.err << error << Qt::endl;
                return ExitStatus::kFailure;
            }};
}
