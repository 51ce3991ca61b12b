// Writing cabinet sets. libgcab writes a single folder and starts a new deflate stream for every block,
// so the archive is laid out here, after a plan that keeps within the format's limits; the MSZIP blocks
// are made with one reused zlib stream. Reading and extraction go through libgcab (CabinetReader.cpp).
#include "core/archive/Cabinet.h"

#include "core/app/FailureText.h"
#include "core/app/FileRoutines.h"
#include "core/app/KillPoints.h"
#include "core/app/PrivateFiles.h"
#include "core/archive/CabinetFormat.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

namespace {

using namespace CabinetFormat;

struct SourceFile {
    QString name;
    QString path;
    QByteArray storedName;
    qint64 size = 0;
    QDateTime modified;
};

void Put16(uchar* at, quint32 value) {
    at[0] = uchar(value & 0xFF);
    at[1] = uchar((value >> 8) & 0xFF);
}

void Put32(uchar* at, quint32 value) {
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

// Writes one part of the set through a reused deflate stream.
class PartWriter {
public:
    PartWriter() {
        m_stream.zalloc = Z_NULL;
        m_stream.zfree = Z_NULL;
        m_stream.opaque = Z_NULL;
        m_ready = deflateInit2(&m_stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
        m_compressed.resize(kDataHeaderBytes + 2 + int(deflateBound(&m_stream, kCabinetBlockSize)));
        m_block.resize(kCabinetBlockSize);
    }
    ~PartWriter() {
        if (m_ready) deflateEnd(&m_stream);
    }

    // Writes the part into path; messages name shownName, the part the user knows.
    bool write(const QString& path, const QString& shownName, const QList<SourceFile>& sources,
               const CabinetPlanPart& plan, const SetDescriptor* set, int firstIndex,
               const CabinetEntryCallback& onEntry, QList<quint32>* folderChecksums, QString* error);

private:
    // failure: the errno of the write that failed. A write cut short by a full disk leaves Qt's text at
    // "Unknown error".
    bool failWriting(QString* error, int failure) {
        return fail(error, FailureText(QStringLiteral("Impossible d'écrire l'archive"), m_shownName,
                                       m_file.errorString(), failure));
    }
    bool flushBlock(QString* error);
    bool writeOut(const char* data, qint64 length, QString* error);
    bool fail(QString* error, const QString& text) {
        if (error && error->isEmpty()) *error = text;
        return false;
    }

    z_stream m_stream{};
    bool m_ready = false;
    QFile m_file;
    QString m_shownName;
    QByteArray m_block;
    int m_blockFill = 0;
    QByteArray m_compressed;
    QByteArray m_outBuffer;
    int m_blockCount = 0;
    quint32 m_crc = 0;
    // The entry being read so far did not compress: its next blocks are stored.
    bool m_incompressible = false;
};

bool PartWriter::writeOut(const char* data, qint64 length, QString* error) {
    // Gathered into large writes; the file's own buffer is small.
    m_outBuffer.append(data, length);
    if (m_outBuffer.size() < (1 << 20)) return true;
    errno = 0;
    const bool written = m_file.write(m_outBuffer) == m_outBuffer.size();
    const int failure = errno;
    m_outBuffer.clear();
    return written || failWriting(error, failure);
}

bool PartWriter::flushBlock(QString* error) {
    if (m_blockFill == 0) return true;
    m_crc = crc32(m_crc, reinterpret_cast<const Bytef*>(m_block.constData()), uInt(m_blockFill));
    auto* out = reinterpret_cast<uchar*>(m_compressed.data());
    if (deflateReset(&m_stream) != Z_OK ||
        deflateParams(&m_stream, m_incompressible ? Z_NO_COMPRESSION : Z_DEFAULT_COMPRESSION, Z_DEFAULT_STRATEGY) !=
            Z_OK)
        return fail(error, QStringLiteral("Erreur de compression."));
    m_stream.next_in = reinterpret_cast<Bytef*>(m_block.data());
    m_stream.avail_in = uInt(m_blockFill);
    out[kDataHeaderBytes] = 'C';
    out[kDataHeaderBytes + 1] = 'K';
    m_stream.next_out = out + kDataHeaderBytes + 2;
    m_stream.avail_out = uInt(m_compressed.size() - kDataHeaderBytes - 2);
    if (deflate(&m_stream, Z_FINISH) != Z_STREAM_END) return fail(error, QStringLiteral("Erreur de compression."));
    const int compressedBytes = 2 + int(m_stream.total_out);
    if (compressedBytes > kMaxCompressedBlock) return fail(error, QStringLiteral("Erreur de compression."));
    // Data that deflate cannot shrink (pictures are JPEG already) is stored for the rest of its entry: the
    // archive is as large, and written several times faster.
    if (!m_incompressible && m_blockFill == kCabinetBlockSize && compressedBytes * 100 > m_blockFill * 98)
        m_incompressible = true;
    Put32(out, BlockChecksum(out + kDataHeaderBytes, compressedBytes, m_blockFill));
    Put16(out + 4, quint32(compressedBytes));
    Put16(out + 6, quint32(m_blockFill));
    m_blockFill = 0;
    ++m_blockCount;
    return writeOut(reinterpret_cast<const char*>(out), kDataHeaderBytes + compressedBytes, error);
}

bool PartWriter::write(const QString& path, const QString& shownName, const QList<SourceFile>& sources,
                       const CabinetPlanPart& plan, const SetDescriptor* set, int firstIndex,
                       const CabinetEntryCallback& onEntry, QList<quint32>* folderChecksums, QString* error) {
    if (!m_ready) return fail(error, QStringLiteral("Erreur de compression."));
    m_file.setFileName(path);
    m_shownName = shownName;
    if (!OpenPrivately(m_file, QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(error,
                    FailureText(QStringLiteral("Impossible de créer l'archive"), shownName, m_file.errorString()));

    const int reserve = set ? kReserveFieldsBytes + kSetDescriptorBytes : 0;
    const qint64 filesOffset = kHeaderBytes + reserve + qint64(plan.folders.size()) * kFolderBytes;
    QByteArray tables(int(filesOffset - kHeaderBytes - reserve), '\0');
    QByteArray fileTable;
    for (int f = 0; f < plan.folders.size(); ++f) {
        qint64 offset = 0;
        for (int index : plan.folders[f].entries) {
            const SourceFile& source = sources[index];
            uchar fixed[kFileFixedBytes];
            Put32(fixed, quint32(source.size));
            Put32(fixed + 4, quint32(offset));
            Put16(fixed + 8, quint32(f));
            Put16(fixed + 10, DosDate(source.modified));
            Put16(fixed + 12, DosTime(source.modified));
            bool ascii = true;
            for (char c : source.storedName)
                ascii = ascii && uchar(c) < 0x80;
            Put16(fixed + 14, kAttributeArchive | (ascii ? 0 : kAttributeNameIsUtf8));
            fileTable.append(reinterpret_cast<const char*>(fixed), kFileFixedBytes);
            fileTable.append(source.storedName);
            fileTable.append('\0');
            offset += source.size;
        }
    }
    // The header and tables are written again once the folders' places and the size are known.
    const QByteArray placeholder(int(filesOffset + fileTable.size()), '\0');
    if (!writeOut(placeholder.constData(), placeholder.size(), error)) return false;

    QList<quint32> folderStarts;
    QList<int> folderBlocks;
    int index = firstIndex;
    for (const CabinetPlanFolder& folder : plan.folders) {
        folderStarts.append(quint32(m_file.pos() + m_outBuffer.size()));
        m_blockCount = 0;
        m_blockFill = 0;
        m_crc = crc32(0, nullptr, 0);
        for (int sourceIndex : folder.entries) {
            const SourceFile& source = sources[sourceIndex];
            if (onEntry) onEntry(index, source.name);
            ++index;
            m_incompressible = false;
            QFile in(source.path);
            if (!in.open(QIODevice::ReadOnly))
                return fail(error,
                            QStringLiteral("IMPOSSIBLE D'OUVRIR LE FICHIER\n\nLe fichier \"%1\" a sans doute été "
                                           "supprimé manuellement et n'est plus accessible.")
                                .arg(source.path));
            qint64 left = source.size;
            while (left > 0) {
                const int want = int(qMin<qint64>(left, kCabinetBlockSize - m_blockFill));
                const qint64 got = in.read(m_block.data() + m_blockFill, want);
                if (got <= 0) break;
                m_blockFill += int(got);
                left -= got;
                if (m_blockFill == kCabinetBlockSize && !flushBlock(error)) return false;
            }
            char extra;
            if (left != 0 || in.read(&extra, 1) != 0)
                return fail(error,
                            QStringLiteral("Le fichier \"%1\" a changé pendant la sauvegarde.").arg(source.path));
        }
        if (!flushBlock(error)) return false;
        folderBlocks.append(m_blockCount);
        if (folderChecksums) folderChecksums->append(m_crc);
    }
    if (!m_outBuffer.isEmpty()) {
        errno = 0;
        const bool written = m_file.write(m_outBuffer) == m_outBuffer.size();
        const int failure = errno;
        m_outBuffer.clear();
        if (!written) return failWriting(error, failure);
    }
    const qint64 total = m_file.pos();
    if (total > 0xFFFFFFFFLL) return fail(error, QStringLiteral("Erreur interne : archive trop grande."));

    QByteArray head(kHeaderBytes + reserve, '\0');
    auto* h = reinterpret_cast<uchar*>(head.data());
    memcpy(h, "MSCF", 4);
    Put32(h + 8, quint32(total));
    Put32(h + 16, quint32(filesOffset));
    h[24] = 3;
    h[25] = 1;
    Put16(h + 26, quint32(plan.folders.size()));
    Put16(h + 28, quint32(plan.entryCount));
    Put16(h + 30, set ? kFlagReservePresent : 0);
    if (set) {
        Put16(h + 32, quint32(set->setNumber & 0xFFFF));
        Put16(h + 34, quint32(set->part - 1));
        Put16(h + kHeaderBytes, kSetDescriptorBytes);
        uchar* d = h + kHeaderBytes + kReserveFieldsBytes;
        memcpy(d, kSetMagic, 4);
        Put16(d + 4, quint32(set->part));
        Put16(d + 6, quint32(set->partCount));
        Put32(d + 8, set->setNumber);
    }
    for (int f = 0; f < plan.folders.size(); ++f) {
        auto* record = reinterpret_cast<uchar*>(tables.data()) + f * kFolderBytes;
        Put32(record, folderStarts[f]);
        Put16(record + 4, quint32(folderBlocks[f]));
        Put16(record + 6, kCompressionMszip);
    }
    const QByteArray start = head + tables + fileTable;
    errno = 0;
    if (!m_file.seek(0) || m_file.write(start) != start.size() || !m_file.flush()) return failWriting(error, errno);
    if (::fsync(m_file.handle()) != 0)
        return fail(error, SystemFailureText(QStringLiteral("Impossible d'écrire l'archive"), shownName, errno));
    m_file.close();
    return true;
}

void RemoveFiles(const QStringList& paths) {
    for (const QString& path : paths)
        QFile::remove(path);
}

// The work files of a set being written, each made readable by the user only and locked while the set is written,
// so that a cleaner of stale work files (RemoveStaleCabinetWorkFiles) leaves them alone.
class WorkFiles {
public:
    WorkFiles() = default;
    WorkFiles(const WorkFiles&) = delete;
    WorkFiles& operator=(const WorkFiles&) = delete;
    ~WorkFiles() {
        for (const int descriptor : std::as_const(m_descriptors))
            ::close(descriptor);
    }
    bool create(const QString& path, const QString& shownName, QString* error) {
        QFile::remove(path);
        const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (descriptor < 0) {
            if (error) *error = SystemFailureText(QStringLiteral("Impossible de créer l'archive"), shownName, errno);
            return false;
        }
        ::flock(descriptor, LOCK_EX);
        m_descriptors.append(descriptor);
        m_paths.append(path);
        return true;
    }
    const QStringList& paths() const { return m_paths; }

private:
    QList<int> m_descriptors;
    QStringList m_paths;
};

} // namespace

QString CabinetWorkFileName(const QString& partName) {
    return partName + QStringLiteral(".tmp");
}

void RemoveStaleCabinetWorkFiles(const QString& folder, const QString& mask) {
    const QString root = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (const QString& name : ListFiles(root, mask)) {
        const QByteArray path = QFile::encodeName(root + name);
        const int descriptor = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (descriptor < 0) continue;
        // A writer that is alive holds its lock; a killed one left the file unlocked.
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) ::unlink(path.constData());
        ::close(descriptor);
    }
}

bool WriteCabinet(const QString& target, const QList<CabinetSource>& sources, const CabinetEntryCallback& onEntry,
                  QString* error, int* partCount) {
    QList<SourceFile> files;
    QList<qint64> sizes;
    QList<int> nameBytes;
    QStringList names;
    for (const CabinetSource& source : sources) {
        const QFileInfo info(source.path);
        if (!info.isFile()) {
            if (error)
                *error = QStringLiteral("IMPOSSIBLE D'OUVRIR LE FICHIER\n\nLe fichier \"%1\" a sans doute été supprimé "
                                        "manuellement et n'est plus accessible.")
                             .arg(source.path);
            return false;
        }
        if (!IsBareEntryName(source.name)) {
            if (error) *error = QStringLiteral("Nom d'entrée d'archive incorrect : \"%1\".").arg(source.name);
            return false;
        }
        SourceFile file{source.name, source.path, source.name.toUtf8(), info.size(), info.lastModified()};
        files.append(file);
        sizes.append(file.size);
        nameBytes.append(int(file.storedName.size()) + 1);
        names.append(source.path);
    }
    QList<CabinetPlanPart> plan;
    if (!PlanCabinetSet(sizes, nameBytes, names, CurrentCabinetLimits(), &plan, error)) return false;

    const int parts = int(plan.size());
    const quint32 setNumber = QRandomGenerator::global()->generate() | 1u;
    WorkFiles work;
    const QStringList& temporaries = work.paths();
    QList<QList<quint32>> checksums;
    int firstIndex = 0;
    for (int p = 0; p < parts; ++p) {
        const QString partName = CabinetPartName(target, p + 1);
        if (!work.create(CabinetWorkFileName(partName), partName, error)) {
            RemoveFiles(temporaries);
            return false;
        }
        const SetDescriptor set{p + 1, parts, setNumber};
        QList<quint32> folderChecksums;
        PartWriter writer;
        QString writeError;
        if (!writer.write(temporaries.last(), partName, files, plan[p], parts > 1 ? &set : nullptr, firstIndex, onEntry,
                          &folderChecksums, &writeError)) {
            RemoveFiles(temporaries);
            if (error) *error = writeError;
            return false;
        }
        checksums.append(folderChecksums);
        firstIndex += plan[p].entryCount;
    }

    // Read every part back before it may replace anything.
    for (int p = 0; p < parts; ++p) {
        QList<CabinetEntry> stored;
        QList<quint32> storedChecksums;
        QString verifyError;
        bool same = VerifyCabinetFile(temporaries[p], &stored, &verifyError, &storedChecksums) &&
                    storedChecksums == checksums[p] && stored.size() == plan[p].entryCount;
        int e = 0;
        for (int f = 0; same && f < plan[p].folders.size(); ++f) {
            for (int index : plan[p].folders[f].entries) {
                const CabinetEntry& entry = stored[e++];
                same = same && entry.name == files[index].name && entry.size == files[index].size && entry.folder == f;
            }
        }
        if (!same) {
            RemoveFiles(temporaries);
            if (error)
                *error =
                    QStringLiteral("La vérification de l'archive \"%1\" a échoué : elle n'a pas été enregistrée.%2")
                        .arg(CabinetPartName(target, p + 1),
                             verifyError.isEmpty() ? QString() : QLatin1Char('\n') + verifyError);
            return false;
        }
    }

    KillPointForTesting(kCabinetKillVariable, "written");
    // The later parts first, so that the first part, which names the set, is replaced last.
    for (int p = parts - 1; p >= 0; --p) {
        const QString final = CabinetPartName(target, p + 1);
        if (std::rename(QFile::encodeName(temporaries[p]).constData(), QFile::encodeName(final).constData()) != 0) {
            const int failure = errno;
            RemoveFiles(temporaries);
            if (error) *error = SystemFailureText(QStringLiteral("Impossible d'enregistrer l'archive"), final, failure);
            return false;
        }
    }
    // Parts of an older, larger set of the same name are no longer part of anything.
    for (int p = parts + 1;; ++p) {
        const QString stale = CabinetPartName(target, p);
        Header header;
        if (!ReadHeaderOfFile(stale, &header, nullptr) || !header.hasSetDescriptor || header.set.part != p ||
            header.set.setNumber == setNumber)
            break;
        QFile::remove(stale);
    }
    if (partCount) *partCount = parts;
    return true;
}
