// Figures of the picture routines on a 6000 x 4500 picture, beside the same work done by independent tools in the
// same run: ImageMagick's triangle-filter resize for the resampler, cjpeg and djpeg for the JPEG codec.
//   bench-ImageBench [repetitions]
#include "support/BenchSupport.h"

#include "core/imaging/Bitmaps.h"
#include "core/imaging/JpegFiles.h"
#include "core/imaging/PictureFiles.h"
#include "core/imaging/Resampling.h"
#include "core/imaging/WindowsBitmap.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

int g_repetitions = 3;

QString Tool(const QString& name) {
    // /usr/bin first: the real ImageMagick, whatever else the path holds.
    const QString system = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/bin")});
    return system.isEmpty() ? QStandardPaths::findExecutable(name) : system;
}

// Time of one run of a tool, or a negative number when it is missing or fails.
double RunTool(const QString& program, const QStringList& arguments) {
    if (program.isEmpty()) return -1;
    bool failed = false;
    const double time = Best(g_repetitions, [&] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(program, arguments);
        if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            failed = true;
    });
    return failed ? -1 : time;
}

// A photograph-like picture: smooth light and colour changes with fine grain, which compresses like a real photo.
QImage SyntheticPhoto(int width, int height) {
    QImage picture = NewBitmap24(width, height);
    QRandomGenerator random(1);
    for (int y = 0; y < height; ++y) {
        uchar* line = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            const int grain = int(random.bounded(24)) - 12;
            const double wave = 40 * std::sin(u * 17 + v * 5) + 30 * std::cos(v * 23 - u * 3);
            line[3 * x] = uchar(std::clamp(int(90 + 100 * v + wave) + grain, 0, 255));
            line[3 * x + 1] = uchar(std::clamp(int(120 + 60 * u - wave / 2) + grain, 0, 255));
            line[3 * x + 2] = uchar(std::clamp(int(200 - 120 * u * v + wave) + grain, 0, 255));
        }
    }
    return picture;
}

void Row(const char* work, double ours, const char* tool, double theirs) {
    if (theirs > 0)
        std::printf("| %-44s | %9.1f | %-46s | %9.1f | %6.2f |\n", work, ours, tool, theirs, theirs / ours);
    else
        std::printf("| %-44s | %9.1f | %-46s | %9s | %6s |\n", work, ours, tool, "-", "-");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc > 1) g_repetitions = std::max(1, atoi(argv[1]));
    QTemporaryDir folder;
    const QString dir = folder.path() + QLatin1Char('/');
    const QString convert = Tool(QStringLiteral("convert"));
    const QString cjpeg = Tool(QStringLiteral("cjpeg"));
    const QString djpeg = Tool(QStringLiteral("djpeg"));

    const QImage photo = SyntheticPhoto(6000, 4500);
    const QString bmp = dir + QStringLiteral("photo.bmp");
    const QString mpc = dir + QStringLiteral("photo.mpc");
    const QString jpg = dir + QStringLiteral("photo.jpg");
    WriteBitmapFile(photo, bmp);
    JpegSaveBitmap(photo, jpg, 100);
    // ImageMagick reads its own cache format by mapping it: its resize figures are not a file decoder's.
    RunTool(convert, {bmp, mpc});
    const double imageMagickStart = RunTool(convert, {mpc, QStringLiteral("null:")});

    std::printf("6000 x 4500 picture, best of %d runs, times in ms; ratio = tool time / our time (above 1: we are "
                "faster)\n\n",
                g_repetitions);
    std::printf("| %-44s | %9s | %-46s | %9s | %6s |\n", "work", "Quorvel", "independent tool", "tool", "ratio");
    std::printf("|%s|%s|%s|%s|%s|\n", QByteArray(46, '-').constData(), QByteArray(11, '-').constData(),
                QByteArray(48, '-').constData(), QByteArray(11, '-').constData(), QByteArray(8, '-').constData());

    for (const QSize target : {QSize(5000, 3750), QSize(90, 67)}) {
        const QString size = QStringLiteral("%1x%2").arg(target.width()).arg(target.height());
        const double ours = Best(g_repetitions, [&] { ResampledBitmap(photo, target.width(), target.height()); });
        double theirs = RunTool(convert, {mpc, QStringLiteral("-filter"), QStringLiteral("Triangle"),
                                          QStringLiteral("-resize"), size + QLatin1Char('!'), QStringLiteral("null:")});
        if (theirs > 0 && imageMagickStart > 0) theirs -= imageMagickStart;
        Row(qPrintable(QStringLiteral("ResampleBitmap -> %1").arg(size)), ours,
            "convert -filter Triangle -resize (resize only)", theirs);
    }

    QByteArray encoded;
    const double encode = Best(g_repetitions, [&] { JpegEncodeBitmap(photo, 100, &encoded); });
    Row("JPEG encode, quality 100", encode, "cjpeg -quality 100 (BMP in, file out)",
        RunTool(cjpeg, {QStringLiteral("-quality"), QStringLiteral("100"), QStringLiteral("-outfile"),
                        dir + QStringLiteral("cjpeg.jpg"), bmp}));

    const double djpegTime = RunTool(djpeg, {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), jpg});
    QImage decoded;
    Row("JPEG decode", Best(g_repetitions, [&] { JpegDecodeBitmap(encoded, &decoded); }), "djpeg (PPM to /dev/null)",
        djpegTime);

    const QString target = dir + QStringLiteral("Doc1.jpg");
    QImage thumbnail;
    Row("StoreImage files, 6000x4500 bitmap source",
        Best(g_repetitions,
             [&] {
                 WriteFullPicture(bmp, target, 5000, 100);
                 MakeThumbnailFromFile(bmp, 90, 90, &thumbnail);
             }),
        "convert -resize 5000x5000 -quality 100 (full)",
        RunTool(convert, {bmp, QStringLiteral("-filter"), QStringLiteral("Triangle"), QStringLiteral("-resize"),
                          QStringLiteral("5000x5000"), QStringLiteral("-quality"), QStringLiteral("100"), target}));
    Row("StoreImage files, 6000x4500 JPEG source",
        Best(g_repetitions,
             [&] {
                 WriteFullPicture(jpg, target, 5000, 100);
                 MakeThumbnailFromFile(jpg, 90, 90, &thumbnail);
             }),
        "djpeg, decoding only", djpegTime);
    Row("  of which the 90 x 90 thumbnail",
        Best(g_repetitions, [&] { MakeThumbnailFromFile(jpg, 90, 90, &thumbnail); }), "djpeg, decoding only",
        djpegTime);
    return 0;
}
