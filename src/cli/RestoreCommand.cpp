#include "cli/RestoreCommand.h"

#include "app/InstanceLock.h"
#include "app/Startup.h"
#include "cli/InfoCommand.h"
#include "cli/ProgressLine.h"
#include "db/Restore.h"
#include "db/TDataModule1.h"

#include <QFileInfo>
#include <QTextStream>

Command RestoreCommand() {
    return {QStringLiteral("restore"),
            QStringLiteral("Restaure la base de données, les images et les fichiers depuis une archive ; en cas "
                           "d'échec les données restent telles qu'elles étaient."),
            QStringLiteral("FICHIER"), [](CommandContext& context) {
                if (context.arguments.size() != 1) {
                    context.err << "restore demande un argument : le fichier de sauvegarde." << Qt::endl;
                    return ExitStatus::kUsage;
                }
                const QString archive = QFileInfo(context.arguments.first()).absoluteFilePath();
                InstanceLock lock;
                if (const int status = PrepareForCommand(context, lock); status != ExitStatus::kOk) return status;
                TDataModule1 dataModule;
                if (!ConnectDataModule(dataModule)) return ExitStatus::kFailure;
                ProgressLine progress(context.err);
                QString error;
                const auto label = [&context](const QString& text) { context.err << text << Qt::endl; };
                if (!RestoreDatabase(dataModule, archive, progress, &error, label)) {
                    context.err << error << Qt::endl;
                    return ExitStatus::kFailure;
                }
                context.out << "Sauvegarde restaurée." << Qt::endl;
                return ExitStatus::kOk;
            }};
}
