#pragma once

#include "core/app/MessageService.h"

#include <QList>

// Records what the core says instead of showing it; questions take the queued answers (No when none).
class RecordingMessages final : public MessageService {
public:
    struct Message {
        MessageIcon icon;
        QString title;
        QString text;
    };

    RecordingMessages() { SetMessageService(this); }
    ~RecordingMessages() override { SetMessageService(nullptr); }

    void show(MessageIcon icon, const QString& title, const QString& text) override {
        messages.append({icon, title, text});
    }
    bool ask(const QString& title, const QString& text) override {
        messages.append({MessageIcon::Question, title, text});
        return answers.isEmpty() ? false : answers.takeFirst();
    }

    QList<Message> messages;
    QList<bool> answers;
};
