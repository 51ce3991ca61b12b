#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Microsoft Cabinet archives with MSZIP compression: the backup archives (".bkp") and the stored file
// documents (".f", one entry each). Entries are stored under the names given, without folders.
//
// The format counts entries per cabinet and data blocks per folder on 16 bits and sizes on 32 bits;
// past these limits a cabinet is silently damaged. Writing therefore plans the archive first: entries
// go into several folders when one folder's blocks would run out, and into numbered parts ("x.bkp",
// "x.2.bkp", ...), each a complete cabinet, when one cabinet cannot hold everything. A multi-part set
// carries a small descriptor in each part's reserved header area (part number, part count, set
// number), so that reading takes the whole set or refuses it.

// The limits of the format (or smaller ones set by a test).
struct CabinetLimits {
    int entriesPerCabinet = 65535;
    int blocksPerFolder = 65535;
    qint64 cabinetBytes = 0xFFFFFFFFLL;
    qint64 entryBytes = 0xFFFFFFFFLL;
};

const CabinetLimits& CurrentCabinetLimits();
// Tests lower the limits so that several folders and parts appear with little data; ResetCabinetLimits
// gives the format's own back.
void SetCabinetLimitsForTesting(const CabinetLimits& limits);
void ResetCabinetLimits();

// Uncompressed bytes in one data block.
constexpr int kCabinetBlockSize = 32768;

// A file to store: the entry's name in the archive and the file on disk.
struct CabinetSource {
    QString name;
    QString path;
};

// An entry as stored: its name, its uncompressed size, the folder (within its part) and the part (1-based).
struct CabinetEntry {
    QString name;
    qint64 size = 0;
    int folder = 0;
    int part = 1;
};

// The file name of part `part` (1-based) of the set whose first part is firstPart: the first part keeps
// its name, the others get ".<n>" before the extension ("x.bkp", "x.2.bkp", "x.3.bkp").
QString CabinetPartName(const QString& firstPart, int part);

// The name a part is written under until the whole set is complete and checked: the part's name + ".tmp". The
// writer holds a lock on it meanwhile.
QString CabinetWorkFileName(const QString& partName);
// Removes the work files of folder whose names match mask (a wildcard, "KESTOVRAN_*.bkp.tmp") that no writer holds:
// what a writer that was killed left, up to the size of its archive.
void RemoveStaleCabinetWorkFiles(const QString& folder, const QString& mask);

// Tests name in QUORVEL_CABINET_KILL_AT the step at which writing a set kills itself (core/app/KillPoints.h):
// "written" (every part complete and checked under its work name, none renamed yet).
inline const char* const kCabinetKillVariable = "QUORVEL_CABINET_KILL_AT";

// Called before each entry is written or extracted, with its position in the whole set and its name.
using CabinetEntryCallback = std::function<void(int index, const QString& name)>;

// Writes the sources, in order, as a cabinet set at target. The parts are written beside target under
// temporary names, read back and verified in full (every block's checksum and data, every entry's
// size and content checksum), flushed to disk, and only then given their final names: a failed write
// leaves nothing under target's names and keeps an older archive of that name. partCount receives the
// number of parts written.
bool WriteCabinet(const QString& target, const QList<CabinetSource>& sources, const CabinetEntryCallback& onEntry,
                  QString* error = nullptr, int* partCount = nullptr);

// Reads a whole cabinet file: the header and tables, every data block (checksum, MSZIP data, sizes) and
// each entry's extent. entries receives the entries as stored; folderChecksums (optional) the CRC-32 of
// each folder's uncompressed data.
bool VerifyCabinetFile(const QString& path, QList<CabinetEntry>* entries, QString* error = nullptr,
                       QList<quint32>* folderChecksums = nullptr);

// The files of the set whose first part is firstPart. Refused with a French message when firstPart is
// not a cabinet, is incomplete, is not the first part of its set, or when another part is missing or
// belongs to another set.
bool CabinetSetParts(const QString& firstPart, QStringList* parts, QString* error = nullptr);

// The entries of every part of the set, in order.
bool ListCabinet(const QString& firstPart, QList<CabinetEntry>* entries, QString* error = nullptr);

// Gives, for an entry, the path relative to the extraction folder where it goes, or an empty text to
// leave it out.
using CabinetDestination = std::function<QString(const CabinetEntry& entry)>;

// Extracts the entries of the whole set into folder. Each entry is written under a temporary name and
// takes its final name only when every entry of the set was extracted with its checksums and size
// right; on failure the temporary files are removed and nothing was renamed. onEntry is called for every
// entry, extracted or not. Later entries of the same destination replace earlier ones.
bool ExtractCabinet(const QString& firstPart, const QString& folder, const CabinetDestination& destination,
                    const CabinetEntryCallback& onEntry, QString* error = nullptr);

// True when name is a bare file name: no folder, no drive, not "." nor "..", no control character.
bool IsBareEntryName(const QString& name);
