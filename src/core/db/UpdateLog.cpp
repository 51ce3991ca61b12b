#include "core/db/UpdateLog.h"

#include "core/app/DateRoutines.h"
#include "core/app/FileRoutines.h"
#include "core/app/Folders.h"
#include "core/app/PrivateFiles.h"
#include "core/app/TextRoutines.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QStringDecoder>

namespace {

// Logs already known to be UTF-8 in this process: the check reads the whole file, once.
QSet<QString> g_checkedLogs;
QMutex g_checkedLogsMutex;

bool IsUtf8(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);
    Q_UNUSED(decoded);
    return !utf8.hasError();
}

// A log written in the Windows code page gets UTF-8 before UTF-8 lines are added to it: a file of mixed encodings
// would be read back entirely as Windows-1252.
bool EnsureUtf8Log(const QString& file, QString* error) {
    const QString key = QFileInfo(file).absoluteFilePath();
    const QMutexLocker lock(&g_checkedLogsMutex);
    if (g_checkedLogs.contains(key)) return true;
    QFile existing(file);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("Impossible de lire le fichier \"%1\" : %2").arg(file, existing.errorString());
            return false;
        }
        const QByteArray bytes = existing.readAll();
        existing.close();
        if (!IsUtf8(bytes) && !SaveTextFile(file, DecodeText(bytes), error)) return false;
    }
    g_checkedLogs.insert(key);
    return true;
}

} // namespace

QString UpdateLogFile() {
    return DataDir() + QStringLiteral("Maj.Log");
}

QString UpdateLogLine(const QString& message) {
    if (message.isEmpty()) return QString();
    const QDateTime now = Now();
    return now.date().toString(kShortDateFormat) + QLatin1Char('-') + now.time().toString(kLongTimeFormat) +
           QStringLiteral(" : ") + message;
}

bool AppendLog(const QString& file, const QString& message, QString* error) {
    if (!EnsureUtf8Log(file, error)) return false;
    // Appended rather than rewritten whole: a long migration logs a line per picture.
    QFile log(file);
    if (!OpenPrivately(log, QIODevice::ReadWrite | QIODevice::Append)) {
        if (error) *error = QStringLiteral("Impossible d'écrire le fichier \"%1\" : %2").arg(file, log.errorString());
        return false;
    }
    QByteArray line = UpdateLogLine(message).toUtf8() + "\r\n";
    // A log cut short in the middle of a line must not have the next line run on.
    if (log.size() > 0 && log.seek(log.size() - 1)) {
        const QByteArray last = log.read(1);
        if (last != "\n" && last != "\r") line.prepend("\r\n");
    }
    if (log.write(line) != line.size() || !log.flush()) {
        if (error) *error = QStringLiteral("Impossible d'écrire le fichier \"%1\" : %2").arg(file, log.errorString());
        return false;
    }
    return true;
}
