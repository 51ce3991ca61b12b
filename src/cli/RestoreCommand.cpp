#include "cli/RestoreCommand.h"

#include "cli/ProgressLine.h"
#include "core/db/Restore.h"

#include <QFileInfo>
#include <QTextStream>

#include <memory>

Command RestoreCommand() {
    auto archive = std::make_shared<QString>();
    return {
        QStringLiteral("restore"),
        QStringLiteral("Restaure la base de données, les images et les fichiers depuis une archive ; en cas "
                       "d'échec les données restent telles qu'elles étaient."),
        QStringLiteral("FICHIER"),
        CommandNeeds::Database,
        [archive](CommandContext& context) {
            if (context.arguments.size() != 1) {
                context.err << "restore demande un argument : le fichier de sauvegarde." << Qt::endl;
                return ExitStatus::kUsage;
            }
            *archive = QFileInfo(context.arguments.first()).absoluteFilePath();
            return ExitStatus::kOk;
        },
        [archive](CommandContext& context) {
            ProgressLine progress(context.err);
            QString error;
            const auto label = [&context](const QString& text) { context.err << text << Qt::endl; };
            QString kept;
            if (!RestoreDatabase(*context.data, *archive, progress, &error, UpdateFeedback{nullptr, label, {}}, &kept))
                return context.fail(error);
            context.out << "Sauvegarde restaurée." << Qt::endl;
            if (!kept.isEmpty())
                context.out << "Les données remplacées sont gardées dans l'archive : " << kept << Qt::endl;
            return ExitStatus::kOk;
        }};
}
