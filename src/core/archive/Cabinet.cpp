#include "core/archive/Cabinet.h"

#include "core/archive/CabinetFormat.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {

CabinetLimits& Limits() {
    static CabinetLimits limits;
    return limits;
}

qint64 Blocks(qint64 bytes) {
    return (bytes + kCabinetBlockSize - 1) / kCabinetBlockSize;
}

QString KiloBytes(qint64 bytes) {
    return QString::number(bytes / 1000) + QStringLiteral(" Ko");
}

} // namespace

const CabinetLimits& CurrentCabinetLimits() {
    return Limits();
}
void SetCabinetLimitsForTesting(const CabinetLimits& limits) {
    Limits() = limits;
}
void ResetCabinetLimits() {
    Limits() = CabinetLimits();
}

QString CabinetPartName(const QString& firstPart, int part) {
    if (part <= 1) return firstPart;
    const qsizetype slash = firstPart.lastIndexOf(QLatin1Char('/'));
    const qsizetype point = firstPart.lastIndexOf(QLatin1Char('.'));
    const QString number = QLatin1Char('.') + QString::number(part);
    if (point <= slash + 1) return firstPart + number;
    return firstPart.left(point) + number + firstPart.mid(point);
}

bool IsBareEntryName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() < 0x20)
            return false;
    }
    return true;
}

namespace CabinetFormat {

quint32 Checksum(const uchar* data, int length, quint32 seed) {
    quint32 sum = seed;
    int words = length / 4;
    while (words-- > 0) {
        sum ^= quint32(data[0]) | (quint32(data[1]) << 8) | (quint32(data[2]) << 16) | (quint32(data[3]) << 24);
        data += 4;
    }
    quint32 tail = 0;
    switch (length % 4) {
    case 3:
        tail |= quint32(*data++) << 16;
        [[fallthrough]];
    case 2:
        tail |= quint32(*data++) << 8;
        [[fallthrough]];
    case 1:
        tail |= quint32(*data++);
        break;
    default:
        break;
    }
    return sum ^ tail;
}

quint32 BlockChecksum(const uchar* data, int compressedBytes, int uncompressedBytes) {
    const uchar sizes[4] = {uchar(compressedBytes & 0xFF), uchar(compressedBytes >> 8), uchar(uncompressedBytes & 0xFF),
                            uchar(uncompressedBytes >> 8)};
    return Checksum(sizes, 4, Checksum(data, compressedBytes, 0));
}

namespace {

quint16 U16(const QByteArray& b, int at) {
    return quint16(uchar(b[at]) | (uchar(b[at + 1]) << 8));
}
quint32 U32(const QByteArray& b, int at) {
    return quint32(U16(b, at)) | (quint32(U16(b, at + 2)) << 16);
}

} // namespace

QString NotACabinetMessage(const QString& path) {
    return QStringLiteral("Le fichier \"%1\" n'est pas une archive de sauvegarde (format Cabinet).").arg(path);
}

QString DamagedMessage(const QString& path, const QString& detail) {
    return QStringLiteral("L'archive \"%1\" est endommagée ou incomplète.\nDétail technique : %2").arg(path, detail);
}

bool ReadHeader(const QByteArray& head, qint64 fileBytes, Header* header, QString* error) {
    auto fail = [error](const QString& text) {
        if (error) *error = text;
        return false;
    };
    if (head.size() < kHeaderBytes || !head.startsWith("MSCF")) return fail(QString());
    Header h;
    h.cabinetBytes = U32(head, 8);
    h.filesOffset = U32(head, 16);
    const int minor = uchar(head[24]);
    const int major = uchar(head[25]);
    h.folderCount = U16(head, 26);
    h.fileCount = U16(head, 28);
    h.flags = U16(head, 30);
    if (major != 1 || minor != 3) return fail(QString());
    qint64 at = kHeaderBytes;
    if (h.flags & kFlagReservePresent) {
        if (head.size() < at + kReserveFieldsBytes) return fail(QStringLiteral("en-tête tronqué"));
        h.headerReserve = U16(head, int(at));
        h.folderReserve = uchar(head[int(at) + 2]);
        h.dataReserve = uchar(head[int(at) + 3]);
        at += kReserveFieldsBytes;
        if (head.size() < at + h.headerReserve) return fail(QStringLiteral("en-tête tronqué"));
        if (h.headerReserve == kSetDescriptorBytes && head.mid(int(at), 4) == QByteArray(kSetMagic, 4)) {
            h.hasSetDescriptor = true;
            h.set.part = U16(head, int(at) + 4);
            h.set.partCount = U16(head, int(at) + 6);
            h.set.setNumber = U32(head, int(at) + 8);
        }
        at += h.headerReserve;
    }
    // Cabinets that continue into others are not written by this program.
    if (h.flags & 0x0003) return fail(QStringLiteral("archive répartie sur plusieurs disques"));
    h.tablesOffset = at;
    if (qint64(h.cabinetBytes) != fileBytes)
        return fail(
            QStringLiteral("la taille du fichier (%1 octets) n'est pas celle qu'annonce son en-tête (%2 octets)")
                .arg(fileBytes)
                .arg(h.cabinetBytes));
    *header = h;
    return true;
}

bool ReadHeaderOfFile(const QString& path, Header* header, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("Impossible d'ouvrir le fichier \"%1\".").arg(path);
        return false;
    }
    QString detail;
    if (!ReadHeader(file.read(kHeaderBytes + kReserveFieldsBytes + 0xFFFF), file.size(), header, &detail)) {
        if (error) *error = detail.isEmpty() ? NotACabinetMessage(path) : DamagedMessage(path, detail);
        return false;
    }
    return true;
}

quint16 DosDate(const QDateTime& moment) {
    const QDate date = moment.date();
    if (!date.isValid() || date.year() < 1980) return (0 << 9) | (1 << 5) | 1;
    return quint16(((date.year() - 1980) << 9) | (date.month() << 5) | date.day());
}

quint16 DosTime(const QDateTime& moment) {
    const QTime time = moment.time();
    if (!time.isValid()) return 0;
    return quint16((time.hour() << 11) | (time.minute() << 5) | (time.second() / 2));
}

} // namespace CabinetFormat

qint64 WorstCaseCabinetBytes(const CabinetPlanPart& part) {
    using namespace CabinetFormat;
    qint64 bytes = kHeaderBytes + kReserveFieldsBytes + kSetDescriptorBytes +
                   qint64(part.folders.size()) * kFolderBytes + qint64(part.entryCount) * kFileFixedBytes +
                   part.nameBytes;
    for (const CabinetPlanFolder& folder : part.folders)
        bytes += Blocks(folder.bytes) * kWorstBlockBytes;
    return bytes;
}

bool PlanCabinetSet(const QList<qint64>& sizes, const QList<int>& nameBytes, const QStringList& names,
                    const CabinetLimits& limits, QList<CabinetPlanPart>* parts, QString* error) {
    auto tooLarge = [&](int index) {
        if (error)
            *error = QStringLiteral("Le fichier \"%1\" (%2) est trop volumineux pour une archive de sauvegarde.")
                         .arg(names.value(index), KiloBytes(sizes[index]));
        return false;
    };
    QList<CabinetPlanPart> plan;
    plan.append(CabinetPlanPart());
    plan.last().folders.append(CabinetPlanFolder());
    for (int i = 0; i < sizes.size(); ++i) {
        const qint64 size = sizes[i];
        if (size > limits.entryBytes || Blocks(size) > limits.blocksPerFolder) return tooLarge(i);

        CabinetPlanPart& part = plan.last();
        // In the current folder.
        CabinetPlanPart trial = part;
        CabinetPlanFolder& folder = trial.folders.last();
        folder.entries.append(i);
        folder.bytes += size;
        trial.entryCount += 1;
        trial.nameBytes += nameBytes[i];
        const bool fitsPart = trial.entryCount <= limits.entriesPerCabinet;
        if (fitsPart && Blocks(folder.bytes) <= limits.blocksPerFolder &&
            WorstCaseCabinetBytes(trial) <= limits.cabinetBytes) {
            part = trial;
            continue;
        }
        // In a new folder of the same part.
        trial = part;
        trial.folders.append(CabinetPlanFolder{{i}, size});
        trial.entryCount += 1;
        trial.nameBytes += nameBytes[i];
        if (fitsPart && trial.folders.size() <= CabinetFormat::kMaxFolders &&
            WorstCaseCabinetBytes(trial) <= limits.cabinetBytes) {
            part = trial;
            continue;
        }
        // In a new part.
        CabinetPlanPart next;
        next.folders.append(CabinetPlanFolder{{i}, size});
        next.entryCount = 1;
        next.nameBytes = nameBytes[i];
        if (WorstCaseCabinetBytes(next) > limits.cabinetBytes || limits.entriesPerCabinet < 1) return tooLarge(i);
        plan.append(next);
    }
    // An entry that opened a new folder or part leaves no empty folder behind, except in an empty set.
    *parts = plan;
    return true;
}
