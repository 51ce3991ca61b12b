#include "cli/CommandRegistry.h"

void CommandRegistry::add(Command command) {
    m_commands.append(std::move(command));
}

const Command* CommandRegistry::find(const QString& name) const {
    for (const Command& command : m_commands)
        if (command.name == name) return &command;
    return nullptr;
}

QString CommandRegistry::helpText() const {
    QString text = QStringLiteral("Usage : quorvel-cli <commande> [options]\n\nCommandes :\n");
    for (const Command& command : m_commands) {
        const QString head =
            command.options.isEmpty() ? command.name : command.name + QLatin1Char(' ') + command.options;
        text += QStringLiteral("  %1\n      %2\n").arg(head, command.description);
    }
    text += QStringLiteral("\n  --help\n      Affiche cette aide.\n");
    return text;
}
