#include "cli/InfoCommand.h"

#include "app/Folders.h"
#include "app/InstanceLock.h"
#include "app/Product.h"
#include "app/Startup.h"
#include "cli/ProgressLine.h"
#include "db/DatabaseSettings.h"

#include <QCoreApplication>
#include <QDir>
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

Command InfoCommand()
{
    return {QStringLiteral("info"),
            QStringLiteral("Prépare les dossiers de données et affiche où se trouvent le programme, les données et "
                           "la base, ainsi que la version."),
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
                            << "Version : " << Product::kVersion << Qt::endl;
                return ExitStatus::kOk;
            }};
}
