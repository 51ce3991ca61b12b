#include "core/db/UpdateDataCommands.h"

#include "core/app/DataLocations.h"
#include "core/app/PrivateFiles.h"
#include "core/app/TextRoutines.h"
#include "core/db/Connection.h"
#include "core/db/UpdateScriptText.h"
#include "core/imaging/Bitmaps.h"
#include "core/imaging/ImageGeometry.h"
#include "core/imaging/JpegFiles.h"
#include "core/imaging/PictureFiles.h"
#include "core/imaging/PictureLoading.h"
#include "core/imaging/WindowsBitmap.h"

#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

constexpr int kJpegQuality = 100;

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

QString DatabaseMessage(const QSqlQuery& query) {
    const QSqlError error = query.lastError();
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

QSqlDatabase Database(const UpdateTarget& target) {
    return QSqlDatabase::database(target.connectionName, false);
}

bool Exec(QSqlQuery& query, QString* error) {
    return query.exec() || Fail(error, DatabaseMessage(query));
}

// The rows of a picture table, in the table's order, with whether their picture column is empty. The pictures
// themselves are read one at a time: a table of a few thousand photos does not fit in memory at once.
struct PictureRow {
    qint64 id = 0;
    bool null = true;
};

bool PictureRows(const UpdateTarget& target, const QString& table, const QString& field, QList<PictureRow>* rows,
                 QString* error) {
    const QSqlDatabase db = Database(target);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(StatementFor(db, QStringLiteral("SELECT Id, %1 IS NULL FROM %2").arg(field, table))))
        return Fail(error, DatabaseMessage(query));
    rows->clear();
    while (query.next())
        rows->append({query.value(0).toLongLong(), query.value(1).toBool()});
    return true;
}

bool ReadPicture(const UpdateTarget& target, const QString& table, const QString& field, qint64 id, QByteArray* bytes,
                 QString* error) {
    const QSqlDatabase db = Database(target);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(StatementFor(db, QStringLiteral("SELECT %1 FROM %2 WHERE Id=%3").arg(field, table).arg(id))))
        return Fail(error, DatabaseMessage(query));
    *bytes = query.next() ? query.value(0).toByteArray() : QByteArray();
    return true;
}

// Writes the column of one row; a null QVariant clears it.
bool WritePicture(const UpdateTarget& target, const QString& table, const QString& field, qint64 id,
                  const QVariant& value, QString* error) {
    const QSqlDatabase db = Database(target);
    QSqlQuery query(db);
    query.prepare(StatementFor(db, QStringLiteral("UPDATE %1 SET %2=? WHERE Id=%3").arg(table, field).arg(id)));
    query.addBindValue(value.isNull() ? QVariant(QMetaType(QMetaType::QByteArray)) : value);
    return Exec(query, error);
}

QString ImagesFolder(const UpdateTarget& target) {
    return target.databaseFolder + QStringLiteral("Images/");
}

QString PictureFile(const UpdateTarget& target, const QString& prefix, qint64 id) {
    return ImagesFolder(target) + prefix + QString::number(id) + QStringLiteral(".jpg");
}

bool DecodeStoredBitmap(const QByteArray& bytes, qint64 id, QImage* bitmap, QString* error) {
    if (!DecodeBitmapSource(bytes, bitmap, error, QStringLiteral("Id %1").arg(id))) return false;
    *bitmap = ToBitmap24(*bitmap);
    return !bitmap->isNull() || Fail(error, QStringLiteral("Mémoire insuffisante pour l'image Id %1.").arg(id));
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (OpenPrivately(file) && file.write(bytes) == bytes.size() && file.commit()) return true;
    return Fail(error, QStringLiteral("Impossible d'écrire le fichier \"%1\" : %2").arg(path, file.errorString()));
}

qint64 InsertedId(QSqlQuery& insert, const UpdateTarget& target, const QString& table) {
    const QVariant id = insert.lastInsertId();
    if (id.isValid() && !id.isNull()) return id.toLongLong();
    // Some ODBC drivers do not report the new key: it is the largest one.
    const QSqlDatabase db = Database(target);
    QSqlQuery last(db);
    return last.exec(StatementFor(db, QStringLiteral("SELECT max(Id) FROM ") + table)) && last.next()
               ? last.value(0).toLongLong()
               : -1;
}

} // namespace

bool ExecuteUpdateStatement(const UpdateTarget& target, const QString& statement, QString* error) {
    const QSqlDatabase db = Database(target);
    QSqlQuery query(db);
    return query.exec(StatementFor(db, statement)) || Fail(error, DatabaseMessage(query));
}

bool ReplaceInStoredQueries(const UpdateTarget& target, const QString& table, const QString& oldText,
                            const QString& newText, QString* error) {
    const QSqlDatabase db = Database(target);
    QList<std::pair<qint64, QString>> rows;
    {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(StatementFor(db, QStringLiteral("SELECT Id, Id_Tree, Query FROM ") + table)))
            return Fail(error, DatabaseMessage(query));
        while (query.next())
            rows.append({query.value(0).toLongLong(), query.value(2).toString()});
    }
    // An empty text would be "found" between every two characters.
    if (oldText.isEmpty()) return true;
    for (auto& [id, text] : rows) {
        if (!text.contains(oldText)) continue;
        text.replace(oldText, newText, Qt::CaseSensitive);
        QSqlQuery update(db);
        update.prepare(StatementFor(db, QStringLiteral("UPDATE %1 SET Query=? WHERE Id=%2").arg(table).arg(id)));
        update.addBindValue(text);
        if (!Exec(update, error)) return false;
    }
    return true;
}

bool ConvertLegacyTree(const UpdateTarget& target, const QString& folder, const QString& treeFileName,
                       const QString& extension, const QString& treeTable, const QString& queryTable,
                       const QString* suffix, QString* error) {
    if (!QFileInfo(folder + treeFileName).isFile()) return true;
    QStringList tree;
    if (!ReadTextLines(folder + treeFileName, &tree, error)) return false;
    const QSqlDatabase db = Database(target);
    for (int i = 0; i < tree.size(); ++i) {
        const QString& line = tree[i];
        const bool entry = line.startsWith(QLatin1Char('\t'));
        QString name = entry ? line.mid(1) : line;
        name.chop(2);
        QSqlQuery node(db);
        node.prepare(
            StatementFor(db, QStringLiteral("INSERT INTO %1 (Id_File, NodeTitle, NodeLevel, NodePos, NodeType) "
                                            "VALUES (-1, ?, ?, ?, ?)")
                                 .arg(treeTable)));
        node.addBindValue(TrimBlanks(name));
        node.addBindValue(entry ? 1 : 0);
        node.addBindValue(i);
        node.addBindValue(entry ? 2 : 1);
        if (!Exec(node, error)) return false;
        if (!entry) continue;
        const qint64 nodeId = InsertedId(node, target, treeTable);

        const QString queryFile = folder + name + extension;
        if (!QFileInfo(queryFile).isFile()) continue;
        QStringList text;
        if (!ReadTextLines(queryFile, &text, error)) return false;
        if (suffix) {
            while (text.size() < 2)
                text.append(QString());
            text[1] += QLatin1Char('{') + *suffix + QLatin1Char('}');
        }
        QSqlQuery query(db);
        query.prepare(
            StatementFor(db, QStringLiteral("INSERT INTO %1 (Id_Tree, Query) VALUES (?, ?)").arg(queryTable)));
        query.addBindValue(nodeId);
        query.addBindValue(text.join(QStringLiteral("\r\n")));
        if (!Exec(query, error)) return false;
    }
    return true;
}

bool ExtractImagesToJpeg(const UpdateTarget& target, const QString& table, const QString& field, const QString& prefix,
                         bool keepColumn, bool* empty, QString* error) {
    if (!CreatePrivateFolder(ImagesFolder(target), error)) return false;
    QList<PictureRow> rows;
    if (!PictureRows(target, table, field, &rows, error)) return false;
    *empty = rows.isEmpty();
    for (const PictureRow& row : rows) {
        if (row.null) continue;
        const QString file = PictureFile(target, prefix, row.id);
        target.log(QStringLiteral("Conversion de l'image : ") + file);
        // A picture already extracted (by an earlier run that did not finish) is kept as it is.
        if (!QFileInfo::exists(file)) {
            QByteArray bytes;
            if (!ReadPicture(target, table, field, row.id, &bytes, error)) return false;
            if (!bytes.isEmpty()) {
                QImage bitmap;
                if (!DecodeStoredBitmap(bytes, row.id, &bitmap, error) ||
                    !JpegSaveBitmap(bitmap, file, kJpegQuality, error))
                    return false;
            }
        }
        if (!keepColumn && !WritePicture(target, table, field, row.id, QVariant(), error)) return false;
    }
    return true;
}

bool ExtractJpegImages(const UpdateTarget& target, const QString& table, const QString& field, const QString& prefix,
                       bool* empty, QString* error) {
    if (!CreatePrivateFolder(ImagesFolder(target), error)) return false;
    QList<PictureRow> rows;
    if (!PictureRows(target, table, field, &rows, error)) return false;
    *empty = rows.isEmpty();
    for (const PictureRow& row : rows) {
        if (row.null) continue;
        const QString file = PictureFile(target, prefix, row.id);
        target.log(QStringLiteral("Extraction de l'image : ") + file);
        QByteArray bytes;
        if (!ReadPicture(target, table, field, row.id, &bytes, error) || !WriteWholeFile(file, bytes, error) ||
            !WritePicture(target, table, field, row.id, QVariant(), error))
            return false;
    }
    return true;
}

bool ResizeBitmapsInDatabase(const UpdateTarget& target, const QString& table, const QString& field, int width,
                             int height, bool whiteRect, bool* empty, QString* error) {
    if (width <= 0 || height <= 0)
        return Fail(error, QStringLiteral("Dimensions invalides : %1 x %2.").arg(width).arg(height));
    QList<PictureRow> rows;
    if (!PictureRows(target, table, field, &rows, error)) return false;
    *empty = rows.isEmpty();
    for (const PictureRow& row : rows) {
        if (row.null) continue;
        target.log(QStringLiteral("Redimensionnement de l'image : ") + QString::number(row.id) +
                   QStringLiteral(".jpg"));
        QByteArray bytes;
        if (!ReadPicture(target, table, field, row.id, &bytes, error)) return false;
        if (bytes.isEmpty()) continue;
        QImage picture;
        if (!DecodeStoredBitmap(bytes, row.id, &picture, error)) return false;
        QImage shrunk;
        ShrinkPictureToBox(&shrunk, picture, width, height);
        const QImage result = whiteRect ? PadThumbnail(shrunk, width, height) : shrunk;
        if (result.isNull()) return Fail(error, QStringLiteral("Mémoire insuffisante pour l'image Id %1.").arg(row.id));
        if (!WritePicture(target, table, field, row.id, WriteBitmapData(result), error)) return false;
    }
    return true;
}

bool ConvertBitmapsToJpegInDatabase(const UpdateTarget& target, const QString& table, const QString& field, bool* empty,
                                    QString* error) {
    QList<PictureRow> rows;
    if (!PictureRows(target, table, field, &rows, error)) return false;
    *empty = rows.isEmpty();
    for (const PictureRow& row : rows) {
        if (row.null) continue;
        target.log(QStringLiteral("Conversion de l'image : ") + QString::number(row.id) + QStringLiteral(".jpg"));
        QByteArray bytes;
        if (!ReadPicture(target, table, field, row.id, &bytes, error)) return false;
        if (bytes.isEmpty()) continue;
        QImage bitmap;
        QByteArray jpeg;
        if (!DecodeStoredBitmap(bytes, row.id, &bitmap, error) ||
            !JpegEncodeBitmap(bitmap, kJpegQuality, &jpeg, error) ||
            !WritePicture(target, table, field, row.id, jpeg, error))
            return false;
    }
    return true;
}
