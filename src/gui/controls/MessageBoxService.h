#pragma once

#include "core/app/MessageService.h"

#include <QList>
#include <QString>

// The windows' message service: standard message boxes with French buttons ("OK", "Oui", "Non")
// over the active window. Until the main window exists every message is also written to stderr,
// so that a start-up failure stays readable when the program was started from a terminal.
//
// Tests switch on the test mode: no box is shown (nothing blocks), each message is recorded and
// each question takes the next queued answer (No when none is queued).
class MessageBoxService final : public MessageService {
public:
    struct RecordedMessage {
        MessageIcon icon = MessageIcon::None;
        QString title; // as shown: the product name when the caller gave none
        QString text;
        bool question = false;
        bool answer = false; // the answer a question received
    };

    void show(MessageIcon icon, const QString& title, const QString& text) override;
    bool ask(const QString& title, const QString& text) override;

    // The one service of the program, and installing it as the message service in force.
    static MessageBoxService& instance();
    static void install();

    // Set by the start-up once the main window is created.
    static void setMainWindowExists(bool exists);
    static bool mainWindowExists();

    static void setTestMode(bool on);
    static bool testMode();
    static void queueAnswerForTesting(bool yes);
    static QList<RecordedMessage> recordedMessages();
    // Forgets the recorded messages and the answers still queued.
    static void clearRecordedMessages();

    // The caption a box gets for a title: the product name when the title is empty.
    static QString captionFor(const QString& title);
};
