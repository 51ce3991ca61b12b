#include "gui/controls/CellDrawing.h"
#include "gui/controls/CellFont.h"

#include <QPainter>
#include <QTest>

namespace {

struct ExpectedPixel {
    QPoint at;
    QColor colour;
};

QImage Canvas(int width, int height, const QColor& fill) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// Fails with the first pixel that differs.
void CheckPixels(const QImage& image, const QList<ExpectedPixel>& expected) {
    for (const ExpectedPixel& pixel : expected) {
        const QColor actual = image.pixelColor(pixel.at);
        if (actual != pixel.colour)
            QFAIL(qPrintable(QStringLiteral("(%1, %2) is %3, not %4")
                                 .arg(pixel.at.x())
                                 .arg(pixel.at.y())
                                 .arg(actual.name(), pixel.colour.name())));
    }
}

// Every pixel of the rectangles has its colour, every other pixel the background.
void CheckAreas(const QImage& image, const QList<QPair<QRect, QColor>>& areas, const QColor& background) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            QColor expected = background;
            for (const auto& [rect, colour] : areas)
                if (rect.contains(x, y)) expected = colour;
            if (image.pixelColor(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("(%1, %2) is %3, not %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(image.pixelColor(x, y).name(), expected.name())));
        }
}

// The columns that hold ink (pixels darker than the background) in a white image.
QPair<int, int> InkColumns(const QImage& image) {
    int first = image.width(), last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != QColor(Qt::white)) {
                first = qMin(first, x);
                last = qMax(last, x);
            }
    return {first, last};
}

int InkCount(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) != QColor(Qt::white);
    return count;
}

const QColor kWhite(255, 255, 255);
const QColor kGridColour(240, 240, 240);
const QColor kFrameColour(230, 230, 225);

} // namespace

class TestCellDrawing : public QObject {
    Q_OBJECT

private slots:
    // Depth 3, shades -120, -80, -40: each line one pixel further down and right, painted pixel by pixel.
    void edgeShadowBands() {
        QImage image = Canvas(40, 30, kWhite);
        QPainter painter(&image);
        DrawEdgeShadow(painter, 10, 10, 20, 10, 3, -120, 40, QColor(200, 200, 200));
        painter.end();
        CheckAreas(image,
                   {{QRect(27, 10, 1, 8), QColor(80, 80, 80)},
                    {QRect(10, 17, 18, 1), QColor(80, 80, 80)},
                    {QRect(28, 11, 1, 8), QColor(120, 120, 120)},
                    {QRect(11, 18, 18, 1), QColor(120, 120, 120)},
                    {QRect(29, 12, 1, 8), QColor(160, 160, 160)},
                    {QRect(12, 19, 18, 1), QColor(160, 160, 160)}},
                   kWhite);
    }

    // A depth of 0 still paints line 1 of each band, at the shadow colour itself.
    void edgeShadowOfDepthZero() {
        QImage image = Canvas(40, 30, kWhite);
        QPainter painter(&image);
        DrawEdgeShadow(painter, 10, 10, 20, 10, 0, 0, 0, QColor(50, 60, 70));
        painter.end();
        CheckAreas(image, {{QRect(30, 10, 1, 11), QColor(50, 60, 70)}, {QRect(10, 20, 21, 1), QColor(50, 60, 70)}},
                   kWhite);
    }

    // The person list's picture cell: white, the picture centred, the frame, a 3-pixel shadow whose first line
    // lies on the frame's last column and row.
    void framedPicture() {
        const QColor grey(100, 100, 100);
        QImage image = Canvas(60, 50, grey);
        QImage picture(11, 6, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QPainter painter(&image);
        DrawFramedPicture(painter, QRect(5, 5, 40, 30), picture, kWhite, kFrameColour, kGridColour, 3, -120, 40);
        painter.end();
        const QColor line1(120, 120, 120), line2(160, 160, 160), line3(200, 200, 200);
        CheckPixels(image, {
                               {{4, 4}, grey},          // outside
                               {{5, 5}, kFrameColour},  // frame, top left
                               {{44, 5}, kFrameColour}, // frame's last column above the shadow
                               {{44, 6}, kFrameColour},
                               {{44, 7}, line1}, // shadow line 1 on the frame's last column
                               {{44, 34}, line1},
                               {{5, 34}, kFrameColour}, // frame's last row left of the shadow
                               {{7, 34}, line1},        // shadow line 1 on the frame's last row
                               {{45, 7}, grey},         // line 2 starts one row lower
                               {{45, 8}, line2},
                               {{45, 35}, line2},
                               {{8, 35}, line2},
                               {{7, 35}, grey},
                               {{46, 9}, line3},
                               {{46, 36}, line3},
                               {{9, 36}, line3},
                               {{47, 36}, grey},
                               {{9, 37}, grey},
                               {{6, 6}, kWhite},   // background
                               {{18, 17}, kWhite}, // the picture at ((40 - 11) / 2, (30 - 6) / 2) = (14, 12)
                               {{19, 17}, QColor(Qt::red)},
                               {{29, 22}, QColor(Qt::red)},
                               {{30, 22}, kWhite},
                               {{29, 23}, kWhite},
                           });
    }

    // The analysis list's form (depth 0) repaints the frame's right column and bottom row in the grid's colour.
    void framedPictureWithoutShadow() {
        const QColor grid(100, 110, 120);
        QImage image = Canvas(60, 50, kWhite);
        QPainter painter(&image);
        DrawFramedPicture(painter, QRect(5, 5, 40, 30), QImage(), kWhite, kFrameColour, grid, 0, 0, 0);
        painter.end();
        CheckPixels(image, {{{5, 5}, kFrameColour},
                            {{43, 5}, kFrameColour},
                            {{44, 5}, grid},
                            {{44, 34}, grid},
                            {{5, 34}, grid},
                            {{5, 33}, kFrameColour},
                            {{45, 20}, kWhite},
                            {{20, 35}, kWhite}});
    }

    void rowBackground_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<ExpectedPixel>>("expected");
        const QColor black(0, 0, 0), pen(167, 191, 233), brush(231, 236, 248);
        const QColor normalPen(10, 10, 10), normalBrush(50, 50, 50);
        // Selected: inset by 3 left and right, 2 top and bottom; outline in the pen, inside in the brush.
        QTest::newRow("selected") << 4 << QList<ExpectedPixel>{{{2, 5}, black},   {{3, 1}, black}, {{27, 5}, black},
                                                               {{10, 10}, black}, {{3, 2}, pen},   {{26, 2}, pen},
                                                               {{3, 9}, pen},     {{26, 9}, pen},  {{10, 2}, pen},
                                                               {{4, 3}, brush},   {{25, 8}, brush}};
        QTest::newRow("other row") << 5
                                   << QList<ExpectedPixel>{{{0, 0}, normalPen},
                                                           {{29, 11}, normalPen},
                                                           {{5, 0}, normalPen},
                                                           {{1, 1}, normalBrush},
                                                           {{28, 10}, normalBrush}};
    }
    void rowBackground() {
        QFETCH(int, row);
        QFETCH(QList<ExpectedPixel>, expected);
        QImage image = Canvas(30, 12, Qt::black);
        QPainter painter(&image);
        painter.setBrush(Qt::green); // the caller's painter is left as it was
        DrawRowBackground(painter, row, 4, QRect(0, 0, 30, 12), 3, 2, QColor(50, 50, 50), QColor(10, 10, 10),
                          QColor(231, 236, 248), QColor(167, 191, 233));
        QCOMPARE(painter.brush().color(), QColor(Qt::green));
        painter.end();
        CheckPixels(image, expected);
    }

    void imageListGlyph() {
        QImage glyph(4, 4, QImage::Format_RGB32);
        glyph.fill(QColor(255, 0, 255));
        glyph.setPixel(1, 1, qRgb(0, 0, 255));
        glyph.setPixel(2, 2, qRgb(0, 255, 0));
        const QList<QImage> list{QImage(), glyph};
        QImage image = Canvas(12, 12, kWhite);
        QPainter painter(&image);
        DrawImageListGlyph(painter, QRect(2, 2, 4, 4), list, 1);
        DrawImageListGlyph(painter, QRect(0, 0, 12, 12), list, 2); // no such picture
        painter.end();
        CheckAreas(image, {{QRect(3, 3, 1, 1), QColor(0, 0, 255)}, {QRect(4, 4, 1, 1), QColor(0, 255, 0)}}, kWhite);

        QImage stretched = Canvas(8, 8, kWhite);
        QPainter stretching(&stretched);
        DrawImageListGlyph(stretching, QRect(0, 0, 8, 8), list, 1);
        stretching.end();
        CheckAreas(stretched, {{QRect(2, 2, 2, 2), QColor(0, 0, 255)}, {QRect(4, 4, 2, 2), QColor(0, 255, 0)}}, kWhite);

        // The framed form takes its picture from the list, magenta showing the background.
        QImage framed = Canvas(20, 20, kWhite);
        QPainter framing(&framed);
        DrawFramedPicture(framing, QRect(0, 0, 10, 10), list, 1, QColor(9, 9, 9), kFrameColour, kGridColour, 0, 0, 0);
        framing.end();
        CheckPixels(framed, {{{4, 4}, QColor(0, 0, 255)}, {{5, 5}, QColor(0, 255, 0)}, {{3, 3}, QColor(9, 9, 9)}});
    }

    void cellText_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("rightToLeft");
        QTest::addColumn<bool>("onTheLeft");
        QTest::newRow("left") << int(Qt::AlignLeft | Qt::AlignVCenter) << false << true;
        QTest::newRow("right") << int(Qt::AlignRight | Qt::AlignVCenter) << false << false;
        QTest::newRow("left, right to left") << int(Qt::AlignLeft | Qt::AlignVCenter) << true << false;
        QTest::newRow("right, right to left") << int(Qt::AlignRight | Qt::AlignVCenter) << true << true;
        QTest::newRow("absolute left, right to left")
            << int(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter) << true << true;
    }
    void cellText() {
        QFETCH(int, flags);
        QFETCH(bool, rightToLeft);
        QFETCH(bool, onTheLeft);
        CellFont font;
        font.color = QColor(200, 0, 0);
        font.size = 10;
        QImage image = Canvas(300, 30, kWhite);
        QPainter painter(&image);
        DrawCellText(painter, QRect(0, 0, 300, 30), QStringLiteral("Hémoglobine"), flags, font, rightToLeft);
        painter.end();
        const auto [first, last] = InkColumns(image);
        QVERIFY(last > first);
        if (onTheLeft)
            QVERIFY2(first < 10 && last < 150, qPrintable(QStringLiteral("%1..%2").arg(first).arg(last)));
        else
            QVERIFY2(first > 150 && last > 290, qPrintable(QStringLiteral("%1..%2").arg(first).arg(last)));
        bool fullColour = false; // some pixel is fully inked in the font's colour
        for (int y = 0; y < 30 && !fullColour; ++y)
            for (int x = first; x <= last && !fullColour; ++x)
                fullColour = image.pixelColor(x, y) == font.color;
        QVERIFY(fullColour);
    }

    void cellFontStyles() {
        auto ink = [](quint8 style) {
            CellFont font;
            font.style = style;
            font.size = 12;
            QImage image = Canvas(300, 40, kWhite);
            QPainter painter(&image);
            DrawCellText(painter, QRect(0, 0, 300, 40), QStringLiteral("Cholestérol"), Qt::AlignCenter, font);
            painter.end();
            return InkCount(image);
        };
        const int regular = ink(0);
        QVERIFY(ink(CellFont::kBold) > regular);
        QVERIFY(ink(CellFont::kUnderline) > regular);
        QVERIFY(ink(CellFont::kStrikeOut) > regular);
        const QFont font =
            CellFont{Qt::black, CellFont::kBold | CellFont::kItalic, 9, QStringLiteral("Arial")}.toFont();
        QVERIFY(font.bold() && font.italic() && !font.underline());
        QCOMPARE(font.pointSize(), 9);
    }
};

QTEST_MAIN(TestCellDrawing)
#include "TestCellDrawing.moc"
