#pragma once

#include "core/archive/Cabinet.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The on-disk structures of a cabinet file, shared by the writer and the checking reader.
namespace CabinetFormat {

constexpr int kHeaderBytes = 36;    // CFHEADER without its reserved area
constexpr int kFolderBytes = 8;     // CFFOLDER
constexpr int kFileFixedBytes = 16; // CFFILE without its name
constexpr int kDataHeaderBytes = 8; // CFDATA without its data
constexpr quint16 kFlagReservePresent = 0x0004;
constexpr quint16 kCompressionMszip = 1;
constexpr quint16 kAttributeArchive = 0x20;
constexpr quint16 kAttributeNameIsUtf8 = 0x80;
// Largest compressed block a reader accepts (the MSZIP data plus the slack readers allow).
constexpr int kMaxCompressedBlock = kCabinetBlockSize + 6144;
// Worst case of one stored block: its record header, the "CK" signature and deflate's bound for 32 KiB.
constexpr qint64 kWorstBlockBytes =
    kDataHeaderBytes + 2 + kCabinetBlockSize + (kCabinetBlockSize >> 12) + (kCabinetBlockSize >> 14) + 13;
// Folder index values from 0xFFFD on mean "continued from/to another cabinet".
constexpr int kMaxFolders = 0xFFFC;

// The descriptor of a multi-part set, in each part's reserved header area.
constexpr char kSetMagic[4] = {'Q', 'V', 'B', 'K'};
constexpr int kSetDescriptorBytes = 12; // magic, part (u16), part count (u16), set number (u32)
// The reserved area's own fields (cbCFHeader, cbCFFolder, cbCFData) come before it.
constexpr int kReserveFieldsBytes = 4;

struct SetDescriptor {
    int part = 1;
    int partCount = 1;
    quint32 setNumber = 0;
};

// What the fixed header says.
struct Header {
    quint32 cabinetBytes = 0;
    quint32 filesOffset = 0;
    int folderCount = 0;
    int fileCount = 0;
    quint16 flags = 0;
    int headerReserve = 0;
    int folderReserve = 0;
    int dataReserve = 0;
    bool hasSetDescriptor = false;
    SetDescriptor set;
    qint64 tablesOffset = 0; // where the CFFOLDER records start
};

// The block checksum of the format: 32-bit little-endian words XORed, the tail bytes taken in reverse.
quint32 Checksum(const uchar* data, int length, quint32 seed);
// The checksum of a whole CFDATA record: its data, then the compressed and uncompressed sizes.
quint32 BlockChecksum(const uchar* data, int compressedBytes, int uncompressedBytes);

// Reads and checks the fixed header (and the set descriptor) of the cabinet file; fileBytes is the
// file's real size, compared with the size the header states.
bool ReadHeader(const QByteArray& head, qint64 fileBytes, Header* header, QString* error);
bool ReadHeaderOfFile(const QString& path, Header* header, QString* error);

// DOS date and time of a moment, as CFFILE stores them.
quint16 DosDate(const QDateTime& moment);
quint16 DosTime(const QDateTime& moment);

// Message texts shared by the reading routines.
QString NotACabinetMessage(const QString& path);
QString DamagedMessage(const QString& path, const QString& detail);

} // namespace CabinetFormat

// How the entries are laid out: which part, and which folder within it, each entry goes into.
struct CabinetPlanFolder {
    QList<int> entries; // indexes into the sources
    qint64 bytes = 0;   // uncompressed
};
struct CabinetPlanPart {
    QList<CabinetPlanFolder> folders;
    int entryCount = 0;
    qint64 nameBytes = 0; // the CFFILE names with their terminators
};

// Places the entries, in order, so that no part passes the limits in the worst case of compression:
// into the current folder while its blocks suffice, then into a new folder of the same part, then into
// a new part. An entry that cannot fit even alone is refused with a French message naming it.
bool PlanCabinetSet(const QList<qint64>& sizes, const QList<int>& nameBytes, const QStringList& names,
                    const CabinetLimits& limits, QList<CabinetPlanPart>* parts, QString* error);

// Worst-case size of a part laid out as given.
qint64 WorstCaseCabinetBytes(const CabinetPlanPart& part);
