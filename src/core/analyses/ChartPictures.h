#pragma once

#include "core/analyses/AnalysisChart.h"

#include <QDate>
#include <QSize>
#include <QString>

// Pictures made of the chart: the JPEG the user saves, and the bitmap the reports and the web page take in.

constexpr QSize kSavedChartSize(1600, 1200);
constexpr int kSavedChartQuality = 100;

// The person as picture names and report titles name them: the name, then one blank and the forename when there is
// one.
QString ChartPersonName(const QString& name, const QString& foreName);

// The name proposed for the saved picture: the chart title with its blanks made "_", "_(", the person, ")_", the day
// "dd_mm_yyyy" and ".jpg", cleaned of the characters file names cannot hold. Without a folder.
QString ProposedChartPictureName(const QString& chartTitle, const QString& personName, const QDate& day);

// The chart drawn at 1600 x 1200 with its title, no top margin and its gradient, written as a JPEG of quality 100.
bool SaveChartJpeg(const AnalysisChart& chart, const QString& file, QString* error = nullptr);

// The chart drawn on white at width x height, its title hidden, written as a Windows bitmap (safely: the file is
// replaced whole or not at all).
bool ExportChartPicture(const AnalysisChart& chart, int width, int height, const QString& file,
                        QString* error = nullptr);
