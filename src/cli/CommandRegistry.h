#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QTextStream;

// What a command gets: its arguments (after its name) and the two output streams.
struct CommandContext {
    QStringList arguments;
    QTextStream& out;
    QTextStream& err;
};

// One sub-command of quorvel-cli: its name, a one-line description, the options it takes
// (for the help text) and the routine that runs it, which returns the exit status.
struct Command {
    QString name;
    QString description;
    QString options;
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
