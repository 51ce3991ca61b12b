#include "core/analyses/ChartPictures.h"

#include "core/analyses/AnalysisChartRenderer.h"
#include "core/app/DateRoutines.h"
#include "core/app/TextRoutines.h"
#include "core/imaging/JpegFiles.h"
#include "core/imaging/WindowsBitmap.h"

namespace {

// Larger pictures are not asked for by any caller; a bad size must not make the allocation fail obscurely.
constexpr int kLargestChartSide = 20000;

bool CheckSize(int width, int height, QString* error) {
    if (width > 0 && height > 0 && width <= kLargestChartSide && height <= kLargestChartSide) return true;
    if (error) *error = QStringLiteral("Taille d'image du graphique incorrecte : %1 x %2.").arg(width).arg(height);
    return false;
}

} // namespace

QString ChartPersonName(const QString& name, const QString& foreName) {
    return foreName.isEmpty() ? name : name + QLatin1Char(' ') + foreName;
}

QString ProposedChartPictureName(const QString& chartTitle, const QString& personName, const QDate& day) {
    QString title = chartTitle;
    title.replace(QLatin1Char(' '), QLatin1Char('_'));
    QString date = DateToText(day);
    date.replace(QLatin1Char('/'), QLatin1Char('_'));
    return CleanFileName(title + QStringLiteral("_(") + personName + QStringLiteral(")_") + date +
                         QStringLiteral(".jpg"));
}

bool SaveChartJpeg(const AnalysisChart& chart, const QString& file, QString* error) {
    const QImage picture = RenderAnalysisChart(chart, kSavedChartSize, ChartLook::SavedPicture());
    if (picture.isNull()) {
        if (error) *error = QString::fromLatin1(kJpegWriteError);
        return false;
    }
    return JpegSaveBitmap(picture, file, kSavedChartQuality, error);
}

bool ExportChartPicture(const AnalysisChart& chart, int width, int height, const QString& file, QString* error) {
    if (!CheckSize(width, height, error)) return false;
    const QImage picture = RenderAnalysisChart(chart, QSize(width, height), ChartLook::Exported());
    if (picture.isNull()) {
        if (error) *error = QStringLiteral("Mémoire insuffisante pour l'image du graphique.");
        return false;
    }
    return WriteBitmapFile(picture, file, error);
}
