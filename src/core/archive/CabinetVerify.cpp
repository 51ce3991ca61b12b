// Reading a cabinet file through: every table, every block's checksum and data, every entry's extent.
// libgcab checks blocks only while it extracts them, and says nothing of blocks no entry reaches.
#include "core/archive/Cabinet.h"

#include "core/archive/CabinetFormat.h"

#include <QFile>
#include <QFileInfo>

#include <zlib.h>

#include <algorithm>

namespace {

using namespace CabinetFormat;

quint16 U16(const uchar* b) {
    return quint16(b[0] | (b[1] << 8));
}
quint32 U32(const uchar* b) {
    return quint32(U16(b)) | (quint32(U16(b + 2)) << 16);
}

struct FolderRecord {
    quint32 start = 0;
    int blocks = 0;
    int compression = 0;
    qint64 bytes = 0;
};

class Inflater {
public:
    Inflater() { m_ready = inflateInit2(&m_stream, -MAX_WBITS) == Z_OK; }
    ~Inflater() {
        if (m_ready) inflateEnd(&m_stream);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Inflates one MSZIP block (after its "CK") into out, which must receive exactly expected bytes. The
    // previous block of the folder, when given, is the dictionary.
    bool inflateBlock(const uchar* in, int inBytes, uchar* out, int expected, const uchar* previous,
                      int previousBytes) {
        if (!m_ready || inflateReset(&m_stream) != Z_OK) return false;
        if (previous && previousBytes > 0 && inflateSetDictionary(&m_stream, previous, uInt(previousBytes)) != Z_OK)
            return false;
        m_stream.next_in = const_cast<uchar*>(in);
        m_stream.avail_in = uInt(inBytes);
        m_stream.next_out = out;
        m_stream.avail_out = uInt(expected);
        int result = Z_OK;
        while (result == Z_OK && m_stream.avail_in > 0 && m_stream.avail_out > 0)
            result = inflate(&m_stream, Z_SYNC_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END) return false;
        if (m_stream.avail_out != 0) return false;
        // Nothing may be left but the end of the deflate stream.
        if (result != Z_STREAM_END && m_stream.avail_in > 0) {
            uchar probe;
            m_stream.next_out = &probe;
            m_stream.avail_out = 1;
            result = inflate(&m_stream, Z_SYNC_FLUSH);
            if (m_stream.avail_out == 0) return false;
            if (result != Z_STREAM_END && result != Z_OK && result != Z_BUF_ERROR) return false;
        }
        return true;
    }

private:
    z_stream m_stream{};
    bool m_ready = false;
};

// The tables of a cabinet: its folders and its entries, each entry with its offset in its folder's data.
struct Tables {
    Header header;
    QList<FolderRecord> folders;
    QList<CabinetEntry> entries;
    QList<qint64> offsets;
    QList<qint64> folderBytes; // what the entries say each folder holds
};

// Reads the header and tables, and checks that they hang together: the entries of each folder follow one
// another from its start without gap or overlap (as every cabinet writer lays them out), and the folder has
// exactly the blocks their total needs. The tables carry no checksum of their own: this is what catches a
// damaged size or offset. detail stays empty when the file is no cabinet at all.
bool ReadTables(QFile& file, Tables* tables, QString* detail) {
    auto damaged = [detail](const QString& text) {
        *detail = text;
        return false;
    };
    if (!ReadHeader(file.read(kHeaderBytes + kReserveFieldsBytes + 0xFFFF), file.size(), &tables->header, detail))
        return false;
    const Header& header = tables->header;
    if (!file.seek(header.tablesOffset)) return damaged(QStringLiteral("tables illisibles"));
    for (int f = 0; f < header.folderCount; ++f) {
        const QByteArray record = file.read(kFolderBytes + header.folderReserve);
        if (record.size() != kFolderBytes + header.folderReserve) return damaged(QStringLiteral("tables tronquées"));
        const auto* r = reinterpret_cast<const uchar*>(record.constData());
        FolderRecord folder{U32(r), U16(r + 4), U16(r + 6) & 0x0F, 0};
        if (folder.compression != kCompressionMszip && folder.compression != 0)
            return damaged(QStringLiteral("méthode de compression non prise en charge"));
        tables->folders.append(folder);
    }
    if (!file.seek(header.filesOffset)) return damaged(QStringLiteral("tables illisibles"));
    for (int i = 0; i < header.fileCount; ++i) {
        const QByteArray fixed = file.read(kFileFixedBytes);
        if (fixed.size() != kFileFixedBytes) return damaged(QStringLiteral("tables tronquées"));
        const auto* r = reinterpret_cast<const uchar*>(fixed.constData());
        QByteArray name;
        char c = 0;
        while (file.getChar(&c) && c != '\0' && name.size() < 1024)
            name.append(c);
        if (c != '\0') return damaged(QStringLiteral("nom d'entrée illisible"));
        const int folder = U16(r + 8);
        if (folder >= tables->folders.size()) return damaged(QStringLiteral("entrée hors des dossiers de l'archive"));
        const bool utf8 = U16(r + 14) & kAttributeNameIsUtf8;
        tables->entries.append({utf8 ? QString::fromUtf8(name) : QString::fromLatin1(name), qint64(U32(r)), folder, 1});
        tables->offsets.append(qint64(U32(r + 4)));
    }
    for (int f = 0; f < tables->folders.size(); ++f) {
        QList<QPair<qint64, qint64>> extents;
        for (int i = 0; i < tables->entries.size(); ++i)
            if (tables->entries[i].folder == f) extents.append({tables->offsets[i], tables->entries[i].size});
        std::sort(extents.begin(), extents.end());
        qint64 end = 0;
        for (const auto& extent : extents) {
            if (extent.first != end) return damaged(QStringLiteral("table des entrées incohérente"));
            end += extent.second;
        }
        if ((end + kCabinetBlockSize - 1) / kCabinetBlockSize != tables->folders[f].blocks)
            return damaged(QStringLiteral("table des dossiers incohérente"));
        tables->folderBytes.append(end);
    }
    return true;
}

bool ReadTablesOfFile(const QString& path, Tables* tables, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("Impossible d'ouvrir le fichier \"%1\".").arg(path);
        return false;
    }
    QString detail;
    if (ReadTables(file, tables, &detail)) return true;
    if (error) *error = detail.isEmpty() ? NotACabinetMessage(path) : DamagedMessage(path, detail);
    return false;
}

} // namespace

bool VerifyCabinetFile(const QString& path, QList<CabinetEntry>* entries, QString* error,
                       QList<quint32>* folderChecksums) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("Impossible d'ouvrir le fichier \"%1\".").arg(path);
        return false;
    }
    auto damaged = [&](const QString& detail) {
        if (error) *error = DamagedMessage(path, detail);
        return false;
    };
    Tables tables;
    QString detail;
    if (!ReadTables(file, &tables, &detail)) {
        if (error) *error = detail.isEmpty() ? NotACabinetMessage(path) : DamagedMessage(path, detail);
        return false;
    }
    const Header& header = tables.header;
    QList<FolderRecord>& folders = tables.folders;
    const QList<CabinetEntry>& found = tables.entries;

    Inflater inflater;
    QByteArray blockHeader;
    QByteArray compressed(kMaxCompressedBlock, '\0');
    QByteArray current(kCabinetBlockSize, '\0');
    QByteArray previous(kCabinetBlockSize, '\0');
    QList<quint32> checksums;
    for (int f = 0; f < folders.size(); ++f) {
        FolderRecord& folder = folders[f];
        if (!file.seek(folder.start)) return damaged(QStringLiteral("dossier %1 introuvable").arg(f + 1));
        quint32 crc = crc32(0, nullptr, 0);
        int previousBytes = 0;
        for (int b = 0; b < folder.blocks; ++b) {
            const QString where = QStringLiteral("bloc %1 du dossier %2").arg(b + 1).arg(f + 1);
            blockHeader = file.read(kDataHeaderBytes + header.dataReserve);
            if (blockHeader.size() != kDataHeaderBytes + header.dataReserve)
                return damaged(where + QStringLiteral(" tronqué"));
            const auto* h = reinterpret_cast<const uchar*>(blockHeader.constData());
            const quint32 storedSum = U32(h);
            const int compressedBytes = U16(h + 4);
            const int uncompressedBytes = U16(h + 6);
            if (compressedBytes > kMaxCompressedBlock || uncompressedBytes > kCabinetBlockSize)
                return damaged(where + QStringLiteral(" de taille impossible"));
            if (file.read(compressed.data(), compressedBytes) != compressedBytes)
                return damaged(where + QStringLiteral(" tronqué"));
            const auto* data = reinterpret_cast<const uchar*>(compressed.constData());
            // A stored checksum of 0 means "none" in the format.
            if (storedSum != 0 && storedSum != BlockChecksum(data, compressedBytes, uncompressedBytes))
                return damaged(where + QStringLiteral(" : somme de contrôle incorrecte"));
            auto* out = reinterpret_cast<uchar*>(current.data());
            if (folder.compression == kCompressionMszip) {
                if (compressedBytes < 2 || data[0] != 'C' || data[1] != 'K' ||
                    !inflater.inflateBlock(data + 2, compressedBytes - 2, out, uncompressedBytes,
                                           reinterpret_cast<const uchar*>(previous.constData()), previousBytes))
                    return damaged(where + QStringLiteral(" : données compressées incorrectes"));
            } else {
                if (compressedBytes != uncompressedBytes)
                    return damaged(where + QStringLiteral(" de taille impossible"));
                memcpy(out, data, size_t(compressedBytes));
            }
            crc = crc32(crc, out, uInt(uncompressedBytes));
            folder.bytes += uncompressedBytes;
            previous.swap(current);
            previousBytes = uncompressedBytes;
        }
        checksums.append(crc);
    }

    for (int f = 0; f < folders.size(); ++f) {
        if (folders[f].bytes != tables.folderBytes[f])
            return damaged(QStringLiteral("les données du dossier %1 ne sont pas celles de ses entrées").arg(f + 1));
    }
    if (entries) *entries = found;
    if (folderChecksums) *folderChecksums = checksums;
    return true;
}

bool CabinetSetParts(const QString& firstPart, QStringList* parts, QString* error) {
    Tables tables;
    if (!ReadTablesOfFile(firstPart, &tables, error)) return false;
    const Header& header = tables.header;
    QStringList found{firstPart};
    if (header.hasSetDescriptor) {
        const SetDescriptor set = header.set;
        if (set.part != 1) {
            if (error)
                *error =
                    QStringLiteral("Le fichier \"%1\" est la partie %2 d'une sauvegarde en %3 parties : choisissez "
                                   "sa première partie.")
                        .arg(firstPart)
                        .arg(set.part)
                        .arg(set.partCount);
            return false;
        }
        for (int p = 2; p <= set.partCount; ++p) {
            const QString name = CabinetPartName(firstPart, p);
            Header other;
            if (!QFileInfo::exists(name) || !ReadHeaderOfFile(name, &other, nullptr) || !other.hasSetDescriptor ||
                other.set.part != p || other.set.partCount != set.partCount || other.set.setNumber != set.setNumber) {
                if (error)
                    *error = QStringLiteral("La sauvegarde \"%1\" est en %2 parties, et la partie \"%3\" est absente, "
                                            "incomplète ou d'une autre sauvegarde.")
                                 .arg(firstPart)
                                 .arg(set.partCount)
                                 .arg(name);
                return false;
            }
            Tables partTables;
            if (!ReadTablesOfFile(name, &partTables, error)) return false;
            found.append(name);
        }
    }
    if (parts) *parts = found;
    return true;
}
