#pragma once

#include <QString>

enum class MessageIcon { None, Information, Warning, Error, Question };

// Where the core sends what the user must read or answer. The windows show message boxes,
// the command-line tool writes to stderr, tests record what was said and script the answers.
class MessageService {
public:
    virtual ~MessageService() = default;
    virtual void show(MessageIcon icon, const QString& title, const QString& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool ask(const QString& title, const QString& text) = 0;
};

// The service in force; until one is installed, messages go to stderr and questions get No.
MessageService& Messages();
void SetMessageService(MessageService* service);

// Writes a message to stderr, as the command-line tool shows it.
void WriteMessageToStderr(MessageIcon icon, const QString& title, const QString& text);
