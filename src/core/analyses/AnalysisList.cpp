#include "core/analyses/AnalysisList.h"

#include "core/analyses/AnalysisPictures.h"
#include "core/analyses/ValueFormat.h"
#include "core/app/TextRoutines.h"
#include "core/db/Connection.h"
#include "core/imaging/ImageGeometry.h"
#include "core/imaging/WindowsBitmap.h"

#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

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
    return TaggedEntry(id, 6, {title, upperText, lowerText, unit, QString::number(decimals)});
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
        append(AnalysisListEntry(id, TextOf(query.value(5)), AnalysisBoundText(query.value(4), decimals, unit),
                                 AnalysisBoundText(query.value(3), decimals, unit), unit, decimals),
               AnalysisListThumbnail(query.value(6).toByteArray()));
    }
    if (query.lastError().isValid()) {
        clear();
        if (error) *error = query.lastError().text();
        return 0;
    }
    return selected < 0 ? 0 : selected;
}
