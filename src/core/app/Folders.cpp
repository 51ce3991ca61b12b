#include "core/app/Folders.h"

namespace {
QString g_programDir;
QString g_dataDir;
QString g_dbDir;
} // namespace

QString ProgramDir() {
    return g_programDir;
}
QString DataDir() {
    return g_dataDir;
}
QString DbDir() {
    return g_dbDir;
}

void SetProgramDir(const QString& folder) {
    g_programDir = AsFolder(folder);
}
void SetDataDir(const QString& folder) {
    g_dataDir = AsFolder(folder);
}
void SetDbDir(const QString& folder) {
    g_dbDir = AsFolder(folder);
}

QString ToSlashes(const QString& path) {
    QString result = path;
    result.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return result;
}

QString AsFolder(const QString& path) {
    QString result = ToSlashes(path);
    if (!result.isEmpty() && !result.endsWith(QLatin1Char('/'))) result += QLatin1Char('/');
    return result;
}
