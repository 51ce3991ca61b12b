#include "analyses/AnalysisList.h"

#include "analyses/AnalysisPictures.h"
#include "analyses/ValueFormat.h"
#include "app/TextRoutines.h"
#include "db/Connection.h"
#include "documents/ImageGeometry.h"
#include "documents/WindowsBitmap.h"

#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString kMarkerStart = QStringLiteral("%&");
// U+200B ZERO WIDTH SPACE: draws nothing, but no marker can span it.
const QString kBrokenMarkerStart = QStringLiteral("%\u200B&");

QString Neutralised(const QString& value) {
    if (!value.contains(kMarkerStart)) return value;
    QString text = value;
    return text.replace(kMarkerStart, kBrokenMarkerStart);
}

QString Marker(char letter) {
    return QStringLiteral("%&") + QLatin1Char(letter) + QLatin1Char('%');
}

QString TextOf(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

const QImage& DefaultThumbnail() {
    static const QImage thumbnail = [] {
        QImage reduced;
        ShrinkPictureToBox(&reduced, DefaultAnalysisPicture(), AnalysisList::kThumbnailSide,
                           AnalysisList::kThumbnailSide);
        return reduced;
    }();
    return thumbnail;
}

} // namespace

QString AnalysisListEntry(qint64 id, const QString& title, const QString& upperText, const QString& lowerText,
                          const QString& unit, int decimals) {
    QString entry = ZeroPad(id, 6);
    const QString pieces[] = {title, upperText, lowerText, unit, QString::number(decimals)};
    char letter = 'a';
    for (const QString& piece : pieces) {
        entry += Marker(letter++);
        entry += Neutralised(piece);
    }
    entry += Marker(letter);
    return entry;
}

QString AnalysisListPiece(const QString& entry, int piece) {
    return MarkedField(entry, piece, 4);
}

qint64 AnalysisListEntryId(const QString& entry) {
    return LeadingInteger(entry);
}

QString AnalysisBoundText(const QVariant& bound, int decimals, const QString& unit) {
    double number = 0;
    const QString text = TextOf(bound);
    if (IsNumber(text)) {
        QString read = text;
        const qsizetype comma = read.indexOf(QLatin1Char(','));
        if (comma >= 0) read[comma] = QLatin1Char('.');
        number = QLocale::c().toDouble(read);
    }
    return TrimLeftBlanks(FormatFixed(7, qMin(decimals, kMaxValueDecimals), number)) + QLatin1Char(' ') + unit;
}

QImage AnalysisListThumbnail(const QByteArray& blob) {
    if (blob.isEmpty()) return DefaultThumbnail();
    QImage picture;
    if (!ReadBitmapData(blob, &picture) || picture.width() == 0) return DefaultThumbnail();
    QImage thumbnail;
    ShrinkPictureToBox(&thumbnail, picture, AnalysisList::kThumbnailSide, AnalysisList::kThumbnailSide);
    return thumbnail;
}

QString AnalysisList::Statement(qint64 personId) {
    return QStringLiteral("SELECT L_ANALYSIS.Id, L_ANALYSIS.Unit, L_ANALYSIS.Decimal, L_ANALYSIS.Value_Min, "
                          "L_ANALYSIS.Value_Max, LST_ANALYSIS.Title, LST_ANALYSIS.ImgMini1 FROM L_ANALYSIS LEFT JOIN "
                          "LST_ANALYSIS ON L_ANALYSIS.Id_Analysis = LST_ANALYSIS.Id WHERE L_ANALYSIS.Id_Ref=") +
           QString::number(personId) + QStringLiteral(" ORDER BY LST_ANALYSIS.Title");
}

int AnalysisList::load(const QString& connectionName, qint64 personId, qint64 selectedId, QString* error) {
    clear();
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(StatementFor(db, Statement(personId)))) {
        if (error) *error = query.lastError().text();
        return 0;
    }
    int selected = -1;
    while (query.next()) {
        const qint64 id = query.value(0).toLongLong();
        const QString unit = TextOf(query.value(1));
        const int decimals = query.value(2).toInt();
        if (id == selectedId && selected < 0) selected = count();
        m_entries.append(AnalysisListEntry(id, TextOf(query.value(5)),
                                           AnalysisBoundText(query.value(4), decimals, unit),
                                           AnalysisBoundText(query.value(3), decimals, unit), unit, decimals));
        m_thumbnails.append(AnalysisListThumbnail(query.value(6).toByteArray()));
    }
    if (query.lastError().isValid()) {
        clear();
        if (error) *error = query.lastError().text();
        return 0;
    }
    return selected < 0 ? 0 : selected;
}

void AnalysisList::clear() {
    m_entries.clear();
    m_thumbnails.clear();
}

qint64 AnalysisList::idAt(int row) const {
    return row >= 0 && row < count() ? AnalysisListEntryId(m_entries[row]) : -1;
}

int AnalysisList::indexOf(qint64 id) const {
    for (int row = 0; row < count(); ++row)
        if (idAt(row) == id) return row;
    return -1;
}

void AnalysisList::append(const QString& entry, const QImage& thumbnail) {
    m_entries.append(entry);
    m_thumbnails.append(thumbnail);
}
