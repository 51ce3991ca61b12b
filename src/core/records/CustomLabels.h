#pragma once

#include <QString>
#include <QStringList>

class Dataset;

// The labels of the record editor's twelve free fields, kept in CUSTOMLAB: one row per work group, the label of
// free field Misc01 ... Misc12 in the column of the same name.

constexpr int kCustomLabelCount = 12;
// The single work group of the program.
constexpr int kCustomLabelWorkGroup = 0;
// The longest label the column holds.
constexpr int kCustomLabelMaxLength = 128;

// "Misc01" ... "Misc12" for 1 ... 12.
QString CustomLabelColumn(int number);
// The column a label widget stands for: the last six characters of its name ("Lab_Misc07" gives "Misc07"); empty
// when the name does not end with one of the twelve columns.
QString CustomLabelColumnOfName(const QString& labelName);

// Reads the twelve labels of the work group through query (the general-purpose query, left closed); when the group
// has no row yet, one is added with empty labels. An empty value gives an empty label.
bool ReadCustomLabels(Dataset& query, QStringList* labels, QString* error = nullptr);
// Stores the text as the label of column in the first CUSTOMLAB row (one is added when there is none).
bool StoreCustomLabel(Dataset& query, const QString& column, const QString& text, QString* error = nullptr);
