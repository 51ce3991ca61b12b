#include "core/app/FileRoutines.h"

#include "core/app/Folders.h"
#include "core/app/PrivateFiles.h"
#include "core/app/Product.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void SetError(QString* error, const QString& message) {
    if (error) *error = message;
}

bool HasWildcards(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// A Windows file mask as a regular expression: "*" any run of characters, "?" one character, and a trailing
// ".*" also matches a name without extension (so "*.*" is every file, "Doc12.*" also finds "Doc12").
QRegularExpression MaskExpression(const QString& mask) {
    QString body = mask;
    const bool anyExtension = body.endsWith(QStringLiteral(".*"));
    if (anyExtension) body.chop(2);
    QString pattern;
    for (const QChar c : body) {
        if (c == QLatin1Char('*'))
            pattern += QStringLiteral(".*");
        else if (c == QLatin1Char('?'))
            pattern += QLatin1Char('.');
        else
            pattern += QRegularExpression::escape(QString(c));
    }
    if (anyExtension) pattern += QStringLiteral("(\\..*)?");
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

// Entries of folder matching mask, sorted by name with a plain character comparison so that every run
// (and every machine) sees the same order, whatever the file system returns.
QFileInfoList MatchingEntries(const QString& folder, const QString& mask, QDir::Filters filters) {
    if (mask.isEmpty()) return {};
    const QRegularExpression expression = MaskExpression(mask);
    QFileInfoList result;
    const QFileInfoList entries = QDir(folder).entryInfoList(filters | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        if (expression.match(entry.fileName()).hasMatch()) result.append(entry);
    }
    std::sort(result.begin(), result.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.fileName() < b.fileName(); });
    return result;
}

// The entry named by path, or for a name with wildcards the first match in its folder.
QFileInfo FirstEntry(const QString& path, QDir::Filters filters) {
    QString cleanPath = ToSlashes(path);
    while (cleanPath.size() > 1 && cleanPath.endsWith(QLatin1Char('/')))
        cleanPath.chop(1);
    const QFileInfo info(cleanPath);
    if (!HasWildcards(info.fileName())) return info;
    const QFileInfoList matches = MatchingEntries(info.path(), info.fileName(), filters);
    return matches.isEmpty() ? QFileInfo() : matches.first();
}

QString SystemErrorText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

QString IncludeBackslash(const QString& path) {
    return AsFolder(path);
}

QString ProgramFileName() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
    return QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
}

QString SpecialFolder(ShellFolder folder) {
    switch (folder) {
    case ShellFolder::Documents:
        return AsFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    case ShellFolder::ProgramFiles:
        return AsFolder(QStringLiteral(QUORVEL_INSTALL_PREFIX));
    }
    return QString();
}

QString TempFolder(QString* error) {
    const QString folder =
        AsFolder(QDir::tempPath()) + Product::kProgramFileName + QLatin1Char('-') + QString::number(::getuid());
    const QByteArray nativePath = QFile::encodeName(folder);
    if (::mkdir(nativePath.constData(), 0700) != 0 && errno != EEXIST) {
        SetError(
            error,
            QStringLiteral("Impossible de créer le dossier temporaire \"%1\" :\n%2").arg(folder, SystemErrorText()));
        return QString();
    }
    // The folder sits in a folder that everyone may write to: someone else may have made it first, or put
    // a link there, to read what we leave in it.
    struct stat info {};
    if (::lstat(nativePath.constData(), &info) != 0) {
        SetError(error,
                 QStringLiteral("Le dossier temporaire \"%1\" est inaccessible :\n%2").arg(folder, SystemErrorText()));
        return QString();
    }
    if (!S_ISDIR(info.st_mode)) {
        SetError(error, QStringLiteral("Le dossier temporaire \"%1\" n'est pas un dossier ordinaire : "
                                       "il n'est pas utilisé.")
                            .arg(folder));
        return QString();
    }
    if (info.st_uid != ::getuid()) {
        SetError(error, QStringLiteral("Le dossier temporaire \"%1\" appartient à un autre utilisateur : "
                                       "il n'est pas utilisé.")
                            .arg(folder));
        return QString();
    }
    if ((info.st_mode & 07777) != 0700 && ::chmod(nativePath.constData(), 0700) != 0) {
        SetError(
            error,
            QStringLiteral("Impossible de protéger le dossier temporaire \"%1\" :\n%2").arg(folder, SystemErrorText()));
        return QString();
    }
    return folder + QLatin1Char('/');
}

QStringList ListFiles(const QString& folder, const QString& mask) {
    QStringList names;
    // Without QDir::Hidden and QDir::System: hidden files, sockets, devices and broken links stay out.
    for (const QFileInfo& entry : MatchingEntries(ToSlashes(folder), mask, QDir::Files))
        names.append(entry.fileName());
    return names;
}

bool CopyFiles(const QString& sourceFolder, const QString& targetFolder, const QString& mask, QString* error) {
    const QString source = IncludeBackslash(sourceFolder);
    const QString target = IncludeBackslash(targetFolder);
    for (const QString& name : ListFiles(source, mask)) {
        const auto fail = [&](const QString& detail) {
            SetError(error, QStringLiteral("Impossible de copier le fichier \"%1\" vers \"%2\" :\n%3")
                                .arg(source + name, target + name, detail));
            return false;
        };
        QFile input(source + name);
        if (!input.open(QIODevice::ReadOnly)) return fail(input.errorString());
        // The copy replaces the old file only once complete.
        QSaveFile output(target + name);
        if (!OpenPrivately(output)) return fail(output.errorString());
        while (!input.atEnd()) {
            const QByteArray block = input.read(1 << 20);
            if (block.isEmpty() && input.error() != QFileDevice::NoError) return fail(input.errorString());
            if (output.write(block) != block.size()) return fail(output.errorString());
        }
        if (!output.commit()) return fail(output.errorString());
        // Like a shell copy, the copy keeps the time of its original.
        QFile copied(target + name);
        if (copied.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
            copied.setFileTime(input.fileTime(QFileDevice::FileModificationTime), QFileDevice::FileModificationTime);
    }
    return true;
}

bool DeleteFiles(const QString& folder, const QString& mask, QString* error) {
    const QString source = IncludeBackslash(folder);
    for (const QString& name : ListFiles(source, mask)) {
        QFile file(source + name);
        if (!file.remove()) {
            SetError(error, QStringLiteral("Impossible de supprimer le fichier \"%1\" :\n%2")
                                .arg(file.fileName(), file.errorString()));
            return false;
        }
    }
    return true;
}

qint64 FileSize(const QString& path) {
    const QFileInfo entry = FirstEntry(path, QDir::Files);
    return entry.isFile() ? entry.size() : 0;
}

QDateTime FileDate(const QString& path) {
    const QFileInfo entry = FirstEntry(path, QDir::Files | QDir::Dirs);
    if (!entry.exists() || entry.isHidden()) return QDateTime();
    return entry.lastModified().toLocalTime();
}

bool SaveTextFile(const QString& path, const QString& text, QString* error) {
    QString content = text;
    content.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    content.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    content.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));

    QSaveFile file(ToSlashes(path));
    const QByteArray bytes = content.toUtf8();
    if (!OpenPrivately(file) || file.write(bytes) != bytes.size() || !file.commit()) {
        SetError(
            error,
            QStringLiteral("Impossible d'écrire le fichier \"%1\" :\n%2").arg(ToSlashes(path), file.errorString()));
        return false;
    }
    return true;
}
