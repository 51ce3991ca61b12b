#include "cli/CommandLine.h"

#include "cli/CommandRegistry.h"
#include "cli/CommandRunner.h"
#include "cli/Commands.h"
#include "core/app/MessageService.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

// Messages of the core, as the command-line tool shows them: on the error stream.
class StreamMessageService final : public MessageService {
public:
    explicit StreamMessageService(QTextStream& err) : m_err(err) {}
    void show(MessageIcon, const QString& title, const QString& text) override {
        if (!title.isEmpty()) m_err << title << " : ";
        m_err << text << Qt::endl;
    }
    bool ask(const QString& title, const QString& text) override {
        show(MessageIcon::Question, title, text);
        m_err << "(réponse : non)" << Qt::endl;
        return false;
    }

private:
    QTextStream& m_err;
};

} // namespace

int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    CommandRegistry registry;
    RegisterCommands(registry);

    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") ||
        arguments.first() == QLatin1String("-h") || arguments.first() == QLatin1String("help")) {
        (arguments.isEmpty() ? err : out) << registry.helpText();
        out.flush();
        return arguments.isEmpty() ? ExitStatus::kUsage : ExitStatus::kOk;
    }
    const Command* command = registry.find(arguments.first());
    if (!command) {
        err << QStringLiteral("Commande inconnue : %1\n\n").arg(arguments.first()) << registry.helpText();
        err.flush();
        return ExitStatus::kUsage;
    }

    StreamMessageService messages(err);
    SetMessageService(&messages);
    CommandContext context{arguments.mid(1), out, err};
    const int status = RunCommand(*command, context);
    SetMessageService(nullptr);
    out.flush();
    err.flush();
    return status;
}

int RunCommandLine(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCommandLine(application.arguments().mid(1), out, err);
}
