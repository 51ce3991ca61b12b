#include "cli/CommandRunner.h"

#include "cli/CommandRegistry.h"
#include "cli/ProgressLine.h"
#include "core/app/InstanceLock.h"
#include "core/db/TDataModule1.h"
#include "core/startup/Startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

int PrepareDataFolder(CommandContext& context, InstanceLock& lock) {
    ProgressLine progress(context.err);
    switch (PrepareDataFolders(QDir::currentPath(), QCoreApplication::applicationDirPath(), lock, progress)) {
    case StartupOutcome::Ready:
        return ExitStatus::kOk;
    case StartupOutcome::AlreadyRunning:
        return ExitStatus::kAlreadyRunning;
    case StartupOutcome::Failed:
        break;
    }
    return ExitStatus::kFailure;
}

int RefuseArguments(const Command& command, CommandContext& context) {
    if (context.arguments.isEmpty()) return ExitStatus::kOk;
    context.err << command.name << " ne prend pas d'argument." << Qt::endl;
    return ExitStatus::kUsage;
}

} // namespace

int CommandContext::fail(const QString& message) {
    err << message << Qt::endl;
    return ExitStatus::kFailure;
}

int RunCommand(const Command& command, CommandContext& context) {
    const int read = command.readArguments ? command.readArguments(context) : RefuseArguments(command, context);
    if (read != ExitStatus::kOk) return read;
    if (command.needs == CommandNeeds::Nothing) return command.run(context);

    InstanceLock lock;
    if (const int status = PrepareDataFolder(context, lock); status != ExitStatus::kOk) return status;
    if (command.needs == CommandNeeds::DataFolder) return command.run(context);

    TDataModule1 dataModule;
    if (!ConnectDataModule(dataModule)) return ExitStatus::kFailure;
    context.data = &dataModule;
    const int status = command.run(context);
    context.data = nullptr;
    return status;
}
