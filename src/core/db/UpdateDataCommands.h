#pragma once

#include <QString>

#include <functional>

// The data commands of the update scripts, apart from the script reading and the log lines that frame them. Each
// works on one connection and returns false (with the error's text) at the first failure; the caller decides what
// to keep of its changes (it runs each command inside a transaction). Pictures are addressed by the rows' Id.
struct UpdateTarget {
    QString connectionName;
    // The DbDir of the database worked on: pictures go to its Images/, the file lies in its Access/.
    QString databaseFolder;
    // Writes one line of the update log.
    std::function<void(const QString&)> log;
};

// Runs a statement that returns no rows.
bool ExecuteUpdateStatement(const UpdateTarget& target, const QString& statement, QString* error = nullptr);

// In every row of "SELECT Id, Id_Tree, Query FROM " + table, every occurrence of oldText in Query (case-sensitive)
// becomes newText. An empty oldText changes nothing.
bool ReplaceInStoredQueries(const UpdateTarget& target, const QString& table, const QString& oldText,
                            const QString& newText, QString* error = nullptr);

// Imports a legacy tree of statistics or queries: folder + treeFileName lists folders and, after a TAB, entries
// (each line ending with two characters that are not part of the name). Every line becomes a row of treeTable
// (NodePos its line number from 0); an entry whose folder + name + extension exists also gets a row of queryTable
// holding that file's text, with "{" + suffix + "}" added to its second line when suffix is given. Does nothing
// when the tree file does not exist.
bool ConvertLegacyTree(const UpdateTarget& target, const QString& folder, const QString& treeFileName,
                       const QString& extension, const QString& treeTable, const QString& queryTable,
                       const QString* suffix, QString* error = nullptr);

// The picture migrations. *empty tells that the table has no row at all.
// Bitmaps of column field become Images/ + prefix + Id + ".jpg" (quality 100; a JPEG already there is kept), and
// the column is cleared unless keepColumn.
bool ExtractImagesToJpeg(const UpdateTarget& target, const QString& table, const QString& field, const QString& prefix,
                         bool keepColumn, bool* empty, QString* error = nullptr);
// JPEG pictures of column field are written unchanged to Images/ + prefix + Id + ".jpg" (replacing the file), and
// the column is cleared.
bool ExtractJpegImages(const UpdateTarget& target, const QString& table, const QString& field, const QString& prefix,
                       bool* empty, QString* error = nullptr);
// Bitmaps of column field are shrunk to fit width x height (never enlarged) and, with whiteRect, drawn centred on a
// white bitmap of exactly that size.
bool ResizeBitmapsInDatabase(const UpdateTarget& target, const QString& table, const QString& field, int width,
                             int height, bool whiteRect, bool* empty, QString* error = nullptr);
// Bitmaps of column field are re-encoded as JPEG (quality 100) inside the column.
bool ConvertBitmapsToJpegInDatabase(const UpdateTarget& target, const QString& table, const QString& field, bool* empty,
                                    QString* error = nullptr);
