#include "cli/UpdateCommand.h"

#include "core/app/Folders.h"
#include "core/db/Connection.h"
#include "core/db/DatabaseSettings.h"
#include "core/db/StartupUpdate.h"
#include "core/startup/Startup.h"

#include <QFileInfo>
#include <QTextStream>

#include <memory>

namespace {

const QString kBackupOption = QStringLiteral("--backup");

struct UpdateArguments {
    bool backup = false;
    QString script;
};

} // namespace

Command UpdateCommand() {
    auto arguments = std::make_shared<UpdateArguments>();
    return {QStringLiteral("update-db"),
            QStringLiteral("Met à jour la base de données avec le script donné, ou avec les scripts en attente dans "
                           "le dossier de données comme au démarrage, et affiche le journal Maj.Log au fur et à "
                           "mesure. --backup fait d'abord une copie de la base dans Backup/Maj/."),
            QStringLiteral("[SCRIPT] [--backup]"),
            CommandNeeds::Database,
            [arguments](CommandContext& context) {
                for (const QString& argument : context.arguments) {
                    if (argument == kBackupOption) {
                        arguments->backup = true;
                    } else if (argument.startsWith(QLatin1Char('-')) || !arguments->script.isEmpty()) {
                        context.err << "update-db [SCRIPT] [--backup] : argument inattendu : " << argument << Qt::endl;
                        return ExitStatus::kUsage;
                    } else {
                        // Named from the folder the command was started in.
                        arguments->script = QFileInfo(argument).absoluteFilePath();
                    }
                }
                if (!arguments->script.isEmpty() && !QFileInfo(arguments->script).isFile())
                    return context.fail(QStringLiteral("Le fichier \"%1\" est introuvable.").arg(arguments->script));
                return ExitStatus::kOk;
            },
            [arguments](CommandContext& context) {
                if (!DatabaseFileExists())
                    return context.fail(
                        QStringLiteral("La base de données \"%1\" est introuvable.").arg(DatabaseFile()));

                UpdateFeedback feedback;
                feedback.logObserver = [&](const QString& line) { context.out << line << Qt::endl; };
                const UpdateBackup backupChoice = arguments->backup ? UpdateBackup::Always : UpdateBackup::Never;
                if (arguments->script.isEmpty())
                    return PrepareDatabaseVersion(feedback, backupChoice) ? ExitStatus::kOk : ExitStatus::kFailure;

                UpdateScriptOptions options;
                options.connectionName = kMainConnection;
                options.databaseFolder = DbDir();
                options.backup = backupChoice;
                options.feedback = feedback;
                const QFileInfo file(arguments->script);
                QString error;
                if (RunUpdateScript(file.path(), file.fileName(), options, &error)) return ExitStatus::kOk;
                return context.fail(error);
            }};
}
