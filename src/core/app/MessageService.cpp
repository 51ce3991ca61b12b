#include "core/app/MessageService.h"

#include <cstdio>

namespace {

class StderrMessageService final : public MessageService {
public:
    void show(MessageIcon icon, const QString& title, const QString& text) override {
        WriteMessageToStderr(icon, title, text);
    }
    bool ask(const QString& title, const QString& text) override {
        WriteMessageToStderr(MessageIcon::Question, title, text);
        return false;
    }
};

StderrMessageService g_stderrService;
MessageService* g_service = &g_stderrService;

} // namespace

MessageService& Messages() {
    return *g_service;
}

void SetMessageService(MessageService* service) {
    g_service = service ? service : &g_stderrService;
}

void WriteMessageToStderr(MessageIcon, const QString& title, const QString& text) {
    const QString line = title.isEmpty() ? text : title + QStringLiteral(" : ") + text;
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}
