// Listing and extracting cabinet sets through libgcab. libgcab leaves a partial file behind when an
// extraction fails, and follows the stored names: every entry is therefore written under a temporary
// name chosen here, and renamed only once the whole set came out right.
#include "core/archive/Cabinet.h"

#include "core/app/FailureText.h"
#include "core/archive/CabinetFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <memory>
#include <unistd.h>

// GIO's D-Bus structures have a member named like Qt's "signals" keyword.
#pragma push_macro("signals")
#undef signals
#include <libgcab.h>
#pragma pop_macro("signals")

namespace {

struct GObjectDeleter {
    void operator()(gpointer object) const {
        if (object) g_object_unref(object);
    }
};
template <typename T> using GObjectPointer = std::unique_ptr<T, GObjectDeleter>;

QString EntryName(GCabFile* file) {
    const char* raw = gcab_file_get_name(file);
    if (!raw) return QString();
    const bool utf8 = gcab_file_get_attributes(file) & GCAB_FILE_ATTRIBUTE_NAME_IS_UTF;
    return utf8 ? QString::fromUtf8(raw) : QString::fromLatin1(raw);
}

QString TakeMessage(GError* error) {
    const QString text = error ? QString::fromUtf8(error->message) : QStringLiteral("erreur inconnue");
    if (error) g_error_free(error);
    return text;
}

// An extraction fails on the archive's data (the cabinet library's own errors) or on the disk it writes to (GIO's):
// a full disk is not a damaged archive.
QString ExtractionFailure(const QString& archive, GError* error) {
    if (!error || error->domain != G_IO_ERROR) return CabinetFormat::DamagedMessage(archive, TakeMessage(error));
    // GIO words its errors in the user's language: its code tells the cause.
    int errorNumber = 0;
    switch (error->code) {
    case G_IO_ERROR_NO_SPACE:
        errorNumber = ENOSPC;
        break;
    case G_IO_ERROR_PERMISSION_DENIED:
        errorNumber = EACCES;
        break;
    case G_IO_ERROR_READ_ONLY:
        errorNumber = EROFS;
        break;
    case G_IO_ERROR_NOT_FOUND:
        errorNumber = ENOENT;
        break;
    default:
        break;
    }
    return FailureText(QStringLiteral("Impossible de restaurer l'archive"), archive, TakeMessage(error), errorNumber);
}

// A cabinet loaded by libgcab, with the folder of each of its entries.
struct LoadedCabinet {
    GObjectPointer<GFile> file;
    GObjectPointer<GFileInputStream> stream;
    GObjectPointer<GCabCabinet> cabinet;
    QHash<GCabFile*, int> folderOf;
    QList<GCabFile*> files; // in folder order, then in stored order
};

bool Load(const QString& path, LoadedCabinet* loaded, QString* error) {
    loaded->file.reset(g_file_new_for_path(QFile::encodeName(path).constData()));
    GError* gerror = nullptr;
    loaded->stream.reset(g_file_read(loaded->file.get(), nullptr, &gerror));
    if (!loaded->stream) {
        if (error) *error = QStringLiteral("Impossible d'ouvrir le fichier \"%1\" : %2").arg(path, TakeMessage(gerror));
        return false;
    }
    loaded->cabinet.reset(gcab_cabinet_new());
    if (!gcab_cabinet_load(loaded->cabinet.get(), G_INPUT_STREAM(loaded->stream.get()), nullptr, &gerror)) {
        if (error) *error = CabinetFormat::DamagedMessage(path, TakeMessage(gerror));
        return false;
    }
    GPtrArray* folders = gcab_cabinet_get_folders(loaded->cabinet.get());
    for (guint f = 0; f < folders->len; ++f) {
        auto* folder = GCAB_FOLDER(g_ptr_array_index(folders, f));
        GSList* files = gcab_folder_get_files(folder);
        for (GSList* item = files; item; item = item->next) {
            auto* file = GCAB_FILE(item->data);
            loaded->folderOf.insert(file, int(f));
            loaded->files.append(file);
        }
        g_slist_free(files);
    }
    return true;
}

bool IsSafeRelativePath(const QString& path) {
    if (path.isEmpty() || path.startsWith(QLatin1Char('/'))) return false;
    const QStringList parts = path.split(QLatin1Char('/'));
    for (const QString& part : parts)
        if (!IsBareEntryName(part)) return false;
    return true;
}

struct PendingEntry {
    QString temporary;
    QString final;
    qint64 size = 0;
};

struct ExtractionState {
    const CabinetDestination* destination = nullptr;
    const CabinetEntryCallback* onEntry = nullptr;
    const LoadedCabinet* cabinet = nullptr;
    int part = 1;
    int index = 0;
    QString folder;
    QList<PendingEntry> pending;
};

void StartWriteBack(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    ::close(fd);
}

gboolean OnExtractEntry(GCabFile* file, gpointer data) {
    auto* state = static_cast<ExtractionState*>(data);
    const CabinetEntry entry{EntryName(file), qint64(gcab_file_get_size(file)), state->cabinet->folderOf.value(file),
                             state->part};
    // The entry extracted before heads for the disk while this one is extracted: a restoration must flush
    // everything before it commits, and waits less that way.
    if (!state->pending.isEmpty()) StartWriteBack(state->pending.last().temporary);
    const int index = state->index++;
    if (*state->onEntry) (*state->onEntry)(index, entry.name);
    const QString relative = (*state->destination)(entry);
    if (!IsSafeRelativePath(relative)) return FALSE;
    // Numbered, so that two entries of one destination do not share their temporary file.
    const QString temporary = relative + QLatin1Char('.') + QString::number(index) + QStringLiteral(".extraction~");
    gcab_file_set_extract_name(file, temporary.toUtf8().constData());
    state->pending.append({state->folder + temporary, state->folder + relative, entry.size});
    return TRUE;
}

} // namespace

bool ListCabinet(const QString& firstPart, QList<CabinetEntry>* entries, QString* error) {
    QStringList parts;
    if (!CabinetSetParts(firstPart, &parts, error)) return false;
    QList<CabinetEntry> found;
    for (int p = 0; p < parts.size(); ++p) {
        LoadedCabinet loaded;
        if (!Load(parts[p], &loaded, error)) return false;
        for (GCabFile* file : loaded.files)
            found.append({EntryName(file), qint64(gcab_file_get_size(file)), loaded.folderOf.value(file), p + 1});
    }
    if (entries) *entries = found;
    return true;
}

bool ExtractCabinet(const QString& firstPart, const QString& folder, const CabinetDestination& destination,
                    const CabinetEntryCallback& onEntry, QString* error) {
    QStringList parts;
    if (!CabinetSetParts(firstPart, &parts, error)) return false;
    const QString root = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    ExtractionState state;
    state.destination = &destination;
    state.onEntry = &onEntry;
    state.folder = root;
    auto failed = [&](const QString& text) {
        for (const PendingEntry& entry : state.pending)
            QFile::remove(entry.temporary);
        if (error) *error = text;
        return false;
    };

    GObjectPointer<GFile> target(g_file_new_for_path(QFile::encodeName(root).constData()));
    for (int p = 0; p < parts.size(); ++p) {
        LoadedCabinet loaded;
        QString loadError;
        if (!Load(parts[p], &loaded, &loadError)) return failed(loadError);
        state.cabinet = &loaded;
        state.part = p + 1;
        GError* gerror = nullptr;
        if (!gcab_cabinet_extract(loaded.cabinet.get(), target.get(), OnExtractEntry, nullptr, &state, nullptr,
                                  &gerror))
            return failed(ExtractionFailure(parts[p], gerror));
    }
    for (const PendingEntry& entry : state.pending) {
        if (QFileInfo(entry.temporary).size() != entry.size)
            return failed(CabinetFormat::DamagedMessage(
                firstPart, QStringLiteral("taille incorrecte de \"%1\"").arg(QFileInfo(entry.final).fileName())));
    }
    for (int i = 0; i < state.pending.size(); ++i) {
        const PendingEntry& entry = state.pending[i];
        // The library makes its files as the umask says; what comes out of the user's archive is the user's only.
        ::chmod(QFile::encodeName(entry.temporary).constData(), 0600);
        if (std::rename(QFile::encodeName(entry.temporary).constData(), QFile::encodeName(entry.final).constData()) !=
            0) {
            const int failure = errno;
            state.pending = state.pending.mid(i);
            return failed(
                SystemFailureText(QStringLiteral("Impossible d'enregistrer le fichier"), entry.final, failure));
        }
    }
    return true;
}
