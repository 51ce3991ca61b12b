#include "core/app/FailureText.h"

#include <QDir>

#include <array>
#include <cerrno>
#include <cstring>

namespace {

struct KnownText {
    const char* words; // lower case, found anywhere in the technical text
    const char* cause;
};

// The first match counts: the more particular texts come before the general ones.
constexpr std::array kKnownTexts{
    KnownText{"no space left", "le disque est plein"},
    // The system's and Qt's texts may come in the user's language.
    KnownText{"aucun espace disponible", "le disque est plein"},
    KnownText{"permission non accordée", "accès refusé"},
    KnownText{"permission refusée", "accès refusé"},
    KnownText{"database or disk is full", "le disque est plein"},
    KnownText{"disk full", "le disque est plein"},
    KnownText{"quota exceeded", "le quota de disque de l'utilisateur est atteint"},
    KnownText{"read-only file system", "le disque n'accepte que la lecture"},
    KnownText{"readonly database", "accès refusé en écriture"},
    KnownText{"permission denied", "accès refusé"},
    KnownText{"operation not permitted", "accès refusé"},
    KnownText{"access denied", "accès refusé"},
    KnownText{"file is not a database", "ce fichier n'est pas une base de données"},
    KnownText{"malformed", "la base de données est endommagée"},
    KnownText{"unable to open database", "le fichier de la base de données ne peut pas être ouvert"},
    KnownText{"database is locked", "la base de données est utilisée par un autre programme"},
    KnownText{"checksum", "l'archive est endommagée"},
    KnownText{"incorrect data check", "l'archive est endommagée"},
    KnownText{"invalid block type", "l'archive est endommagée"},
    KnownText{"invalid distance", "l'archive est endommagée"},
    KnownText{"invalid stored block", "l'archive est endommagée"},
    KnownText{"invalid code", "l'archive est endommagée"},
    KnownText{"corrupt", "le fichier est endommagé"},
    KnownText{"premature end", "le fichier est incomplet"},
    KnownText{"input/output error", "erreur de lecture ou d'écriture sur le disque"},
    KnownText{"i/o error", "erreur de lecture ou d'écriture sur le disque"},
    KnownText{"file too large", "le fichier est trop grand pour ce disque"},
    KnownText{"name too long", "le nom du fichier est trop long"},
    KnownText{"no such file or directory", "fichier ou dossier introuvable"},
    KnownText{"aucun fichier ou dossier", "fichier ou dossier introuvable"},
    KnownText{"not a directory", "un élément du chemin n'est pas un dossier"},
    KnownText{"is a directory", "c'est un dossier, pas un fichier"},
    KnownText{"out of memory", "mémoire insuffisante"},
    KnownText{"cannot allocate memory", "mémoire insuffisante"},
    KnownText{"device or resource busy", "le fichier est utilisé par un autre programme"},
    KnownText{"text file busy", "le fichier est utilisé par un autre programme"},
};

QString SystemText(int errorNumber) {
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

} // namespace

QString FrenchCause(const QString& technical) {
    const QString lower = technical.toLower();
    for (const KnownText& known : kKnownTexts)
        if (lower.contains(QLatin1String(known.words))) return QString::fromUtf8(known.cause);
    return {};
}

QString FrenchCause(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
        return QStringLiteral("le disque est plein");
    case EDQUOT:
        return QStringLiteral("le quota de disque de l'utilisateur est atteint");
    case EROFS:
        return QStringLiteral("le disque n'accepte que la lecture");
    case EACCES:
    case EPERM:
        return QStringLiteral("accès refusé");
    case ENOENT:
        return QStringLiteral("fichier ou dossier introuvable");
    case ENOTDIR:
        return QStringLiteral("un élément du chemin n'est pas un dossier");
    case EISDIR:
        return QStringLiteral("c'est un dossier, pas un fichier");
    case EIO:
        return QStringLiteral("erreur de lecture ou d'écriture sur le disque");
    case EFBIG:
        return QStringLiteral("le fichier est trop grand pour ce disque");
    case ENAMETOOLONG:
        return QStringLiteral("le nom du fichier est trop long");
    case ENOMEM:
        return QStringLiteral("mémoire insuffisante");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("le fichier est utilisé par un autre programme");
    default:
        return {};
    }
}

namespace {

const QString kDetailLead = QStringLiteral("\nDétail technique : ");

QString Compose(const QString& lead, const QString& file, const QString& cause, const QString& technical) {
    QString text = lead + QStringLiteral(" \"") + QDir::toNativeSeparators(file) + QLatin1Char('"');
    text += cause.isEmpty() ? QStringLiteral(".") : QStringLiteral(" : ") + cause + QLatin1Char('.');
    const QString detail = technical.trimmed();
    if (!detail.isEmpty()) text += kDetailLead + detail;
    return text;
}

} // namespace

QString FailureText(const QString& lead, const QString& file, const QString& technical, int errorNumber) {
    const QString cause = errorNumber != 0 ? FrenchCause(errorNumber) : QString();
    return Compose(lead, file, cause.isEmpty() ? FrenchCause(technical) : cause, technical);
}

QString SystemFailureText(const QString& lead, const QString& file, int errorNumber) {
    const QString cause = FrenchCause(errorNumber);
    return Compose(lead, file, cause, SystemText(errorNumber));
}

QString TechnicalDetail(const QString& message) {
    const qsizetype at = message.lastIndexOf(kDetailLead);
    return at < 0 ? message : message.mid(at + kDetailLead.size());
}
