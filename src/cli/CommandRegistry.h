#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QTextStream;
class TDataModule1;

// What a command needs before its body runs; each includes the one before it. The lock, the preparation of the
// data folder and the connection, with their messages and exit statuses, are the runner's (CommandRunner.h).
enum class CommandNeeds {
    Nothing,
    // The instance lock held and the data folders prepared, as the start-up prepares them.
    DataFolder,
    // And the data module connected to the database.
    Database,
};

// What a command gets: its arguments (after its name), the two output streams and, for a command that needs the
// database, the connected data module.
struct CommandContext {
    QStringList arguments;
    QTextStream& out;
    QTextStream& err;
    TDataModule1* data = nullptr;

    // Writes the message on the error stream and returns ExitStatus::kFailure.
    int fail(const QString& message);
};

// One sub-command of quorvel-cli: its name, a one-line description, the options it takes (for the help text), what
// it needs, how it reads its arguments and its body. readArguments runs before anything is locked or opened and
// returns ExitStatus::kOk to go on, or the status to end with once it has said why; a command without it takes no
// argument. run returns the exit status.
struct Command {
    QString name;
    QString description;
    QString options;
    CommandNeeds needs = CommandNeeds::Nothing;
    std::function<int(CommandContext&)> readArguments;
    std::function<int(CommandContext&)> run;
};

class CommandRegistry {
public:
    void add(Command command);
    const Command* find(const QString& name) const;
    const QList<Command>& commands() const { return m_commands; }
    // The usage text: every command with its options and description.
    QString helpText() const;

private:
    QList<Command> m_commands;
};

// Exit statuses shared by every command.
namespace ExitStatus {
constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;
constexpr int kAlreadyRunning = 3;
} // namespace ExitStatus
