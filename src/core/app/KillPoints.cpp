#include "core/app/KillPoints.h"

#include <QByteArray>
#include <QtGlobal>

#include <csignal>
#include <unistd.h>

void KillPointForTesting(const char* variable, const char* step) {
    if (qgetenv(variable) == step) ::kill(::getpid(), SIGKILL);
}
