// Pixels the QPainter canvas must and must not put on a picture.
#include "render/qt/qpainter_canvas.h"

#include <QFile>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using namespace quentar::render;

// Qt reports misuse of QPainter and QPen (unbalanced restore, odd dash patterns, bad points) only
// as warnings; a test fails on them.
int gPainterWarnings = 0;

void recordMessage(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type != QtDebugMsg && type != QtInfoMsg &&
        (message.contains(QLatin1String("QPainter")) || message.contains(QLatin1String("QPen"))))
        ++gPainterWarnings;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

constexpr Rgb kRed{255, 0, 0};
const QColor kWhiteQ(Qt::white);

template <class Draw> QImage paint(Draw &&draw, QColor background = kWhiteQ) {
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    {
        QPainterCanvas canvas(painter);
        draw(canvas);
    }
    painter.end();
    return image;
}

QColor at(const QImage &image, int x, int y) { return image.pixelColor(x, y); }
bool isDark(const QImage &image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

int changedPixels(const QImage &image, QColor background = kWhiteQ) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) != background;
    return n;
}

struct Box {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1; // inclusive; right < 0 if empty
};

Box darkBox(const QImage &image) {
    Box b;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isDark(image, x, y)) {
                b.left = std::min(b.left, x);
                b.top = std::min(b.top, y);
                b.right = std::max(b.right, x);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

Path line(double x0, double y0, double x1, double y1) {
    Path p;
    p.moveTo(x0, y0);
    p.lineTo(x1, y1);
    return p;
}

void addSquare(Path &p, double x0, double y0, double x1, double y1) {
    p.moveTo(x0, y0);
    p.lineTo(x1, y0);
    p.lineTo(x1, y1);
    p.lineTo(x0, y1);
    p.closeFigure();
}

Transform translation(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }

Pen pen(double width, std::vector<double> dashes = {}) {
    return {kBlack, width, std::move(dashes), 0};
}

class QPainterCanvasTest : public ::testing::Test {
protected:
    void SetUp() override { gPainterWarnings = 0; }
    void TearDown() override { EXPECT_EQ(gPainterWarnings, 0); }
};

TEST_F(QPainterCanvasTest, LineOnAnIntegerRowCoversExactlyThatRow) {
    for (double width : {0.0, 1.0}) {
        const QImage image =
            paint([&](Canvas &c) { c.strokePath(line(10, 50, 90, 50), pen(width)); });
        EXPECT_EQ(at(image, 50, 50), QColor(Qt::black)) << width;
        EXPECT_EQ(at(image, 50, 49), kWhiteQ) << width;
        EXPECT_EQ(at(image, 50, 51), kWhiteQ) << width;
        EXPECT_EQ(at(image, 50, 47), kWhiteQ) << width;
    }
}

TEST_F(QPainterCanvasTest, SolidFillCoversTheInteriorOfAClosedSquare) {
    const QImage image = paint([](Canvas &c) {
        Path p;
        addSquare(p, 20, 20, 80, 80);
        c.fillPath(p, {Brush::Kind::Solid, kRed});
    });
    EXPECT_EQ(at(image, 50, 50), QColor(Qt::red));
    EXPECT_EQ(at(image, 21, 79), QColor(Qt::red));
    EXPECT_EQ(at(image, 10, 10), kWhiteQ);
    EXPECT_EQ(at(image, 85, 50), kWhiteQ);
}

TEST_F(QPainterCanvasTest, EvenOddRuleLeavesAHoleInNestedSquares) {
    const QImage image = paint([](Canvas &c) {
        Path p;
        addSquare(p, 20, 20, 80, 80);
        addSquare(p, 40, 40, 60, 60);
        c.fillPath(p, {Brush::Kind::Solid, kRed});
    });
    EXPECT_EQ(at(image, 30, 30), QColor(Qt::red));
    EXPECT_EQ(at(image, 50, 50), kWhiteQ);
}

TEST_F(QPainterCanvasTest, HatchShowsBothColoursWithLinesFromBottomLeftToTopRight) {
    const QColor yellow(255, 255, 0);
    const QImage image = paint([](Canvas &c) {
        Path p;
        addSquare(p, 10, 10, 90, 90);
        c.fillPath(p, {Brush::Kind::BackwardDiagonalHatch, kBlack, {255, 255, 0}});
    });
    int ink = 0, background = 0, rising = 0, falling = 0;
    for (int y = 20; y < 80; ++y)
        for (int x = 20; x < 80; ++x) {
            const QColor c = at(image, x, y);
            ASSERT_TRUE(c == QColor(Qt::black) || c == yellow) << x << "," << y;
            if (c != QColor(Qt::black)) {
                ++background;
                continue;
            }
            ++ink;
            rising += at(image, x + 1, y - 1) == QColor(Qt::black);
            falling += at(image, x + 1, y + 1) == QColor(Qt::black);
        }
    EXPECT_GT(ink, 0);
    EXPECT_GT(background, ink);
    EXPECT_GT(rising, 0);
    EXPECT_EQ(falling, 0);
}

TEST_F(QPainterCanvasTest, FillRectOfOnePixelChangesExactlyThatPixel) {
    const QImage image = paint([](Canvas &c) { c.fillRect(10, 10, 1, 1, kBlack); });
    EXPECT_EQ(at(image, 10, 10), QColor(Qt::black));
    EXPECT_EQ(changedPixels(image), 1);
}

TEST_F(QPainterCanvasTest, FrameRectColoursTheBorderPixelsOnly) {
    const QImage image = paint([](Canvas &c) { c.frameRect(20, 30, 10, 8, kBlack); });
    for (auto [x, y] : {std::pair{20, 30}, {29, 30}, {20, 37}, {29, 37}, {25, 37}, {29, 33}})
        EXPECT_EQ(at(image, x, y), QColor(Qt::black)) << x << "," << y;
    EXPECT_EQ(changedPixels(image), 2 * 10 + 2 * (8 - 2));
}

TEST_F(QPainterCanvasTest, DashedPenLeavesGapsAlongALine) {
    const auto whiteOnRow = [](const std::vector<double> &dashes) {
        const QImage image =
            paint([&](Canvas &c) { c.strokePath(line(5, 50, 95, 50), pen(2, dashes)); });
        int white = 0;
        for (int x = 20; x < 80; ++x) white += at(image, x, 50) == kWhiteQ;
        return white;
    };
    EXPECT_EQ(whiteOnRow({}), 0);
    EXPECT_GT(whiteOnRow({1, 4}), 10);
    EXPECT_GT(whiteOnRow({3}), 10);
}

TEST_F(QPainterCanvasTest, TextLiesBelowAndRightOfItsOriginWithinItsExtent) {
    int width = 0, height = 0;
    const QImage image = paint([&](Canvas &c) {
        c.drawText("Hg", 20, translation(20, 30), kBlack);
        c.textExtent("Hg", 20, width, height);
    });
    const Box b = darkBox(image);
    ASSERT_GE(b.right, 0);
    EXPECT_GE(b.left, 20);
    EXPECT_GE(b.top, 30);
    EXPECT_LT(b.right, 20 + width);
    EXPECT_LT(b.bottom, 30 + height);
    EXPECT_GT(b.bottom - b.top, 10);
}

TEST_F(QPainterCanvasTest, TextFollowsARotatedTransform) {
    // A quarter turn clockwise on screen: the text runs down and its glyphs stand to the left.
    const QImage image = paint([](Canvas &c) {
        c.drawText("HHHH", 16, {0, 1, -1, 0, 60, 10}, kBlack);
    });
    const Box b = darkBox(image);
    ASSERT_GE(b.right, 0);
    EXPECT_LE(b.right, 60);
    EXPECT_GE(b.top, 10);
    EXPECT_GT(b.bottom - b.top, 2 * (b.right - b.left));
}

TEST_F(QPainterCanvasTest, StrokedTextOutlinesTheGlyphs) {
    const QImage image =
        paint([](Canvas &c) { c.strokeText("H", 60, translation(10, 10), pen(1)); });
    const Box b = darkBox(image);
    ASSERT_GE(b.right, 0);
    EXPECT_GE(b.top, 10);
    // Above the crossbar a filled H is two dark runs (its stems), an outlined one four.
    const int y = b.top + (b.bottom - b.top) / 4;
    int runs = 0;
    for (int x = b.left; x <= b.right; ++x) runs += isDark(image, x, y) && !isDark(image, x - 1, y);
    EXPECT_EQ(runs, 4);
}

TEST_F(QPainterCanvasTest, DrawsOnTopOfTheTransformAlreadyOnThePainter) {
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(kWhiteQ);
    QPainter painter(&image);
    painter.scale(2, 2);
    {
        QPainterCanvas canvas(painter);
        canvas.drawText("H", 10, translation(10, 10), kBlack);
    }
    painter.end();
    const Box b = darkBox(image);
    ASSERT_GE(b.right, 0);
    EXPECT_GE(b.left, 20);
    EXPECT_GE(b.top, 20);
    EXPECT_GT(b.bottom - b.top, 10);
}

TEST_F(QPainterCanvasTest, ClipsIntersectStopDrawingAndLiftWhenPopped) {
    const QImage image = paint([](Canvas &c) {
        c.pushClipRect(0, 0, 50, 100);
        c.fillRect(0, 10, 100, 1, kBlack);
        c.strokePath(line(5, 30, 95, 30), pen(1));
        c.pushClipRect(30, 0, 100, 100);
        c.fillRect(0, 40, 100, 1, kBlack);
        c.popClip();
        c.popClip();
        c.popClip(); // unbalanced: ignored
        c.fillRect(0, 20, 100, 1, kBlack);
    });
    EXPECT_EQ(at(image, 49, 10), QColor(Qt::black));
    EXPECT_EQ(at(image, 50, 10), kWhiteQ);
    EXPECT_TRUE(isDark(image, 20, 30));
    EXPECT_EQ(at(image, 70, 30), kWhiteQ);
    EXPECT_EQ(at(image, 29, 40), kWhiteQ);
    EXPECT_EQ(at(image, 30, 40), QColor(Qt::black));
    EXPECT_EQ(at(image, 50, 40), kWhiteQ);
    EXPECT_EQ(at(image, 90, 20), QColor(Qt::black));
    // A clip left open is the canvas's to undo, or the painter ends with a saved state left.
    paint([](Canvas &c) { c.pushClipRect(0, 0, 10, 10); });
}

TEST_F(QPainterCanvasTest, TextExtentGrowsWithLengthAndSize) {
    QImage image(1, 1, QImage::Format_RGB32);
    QPainter painter(&image);
    QPainterCanvas canvas(painter);
    int w2 = 0, h2 = 0, w4 = 0, h4 = 0, wBig = 0, hBig = 0;
    canvas.textExtent("HH", 15, w2, h2);
    canvas.textExtent("HHHH", 15, w4, h4);
    canvas.textExtent("HH", 30, wBig, hBig);
    EXPECT_GT(w2, 10);
    EXPECT_GT(w4, w2 + 10);
    EXPECT_EQ(h4, h2);
    EXPECT_GT(wBig, w2 + 10);
    EXPECT_GT(hBig, h2 + 10);
}

TEST_F(QPainterCanvasTest, HandlePicturesAreDistinctOpaqueTilesThatShowOnGrey) {
    const QColor grey(128, 128, 128);
    QImage tiles[3];
    for (int i = 0; i < 3; ++i) {
        const QImage image = paint([&](Canvas &c) { c.drawHandleImage(i, 10, 20); }, grey);
        tiles[i] = image.copy(10, 20, 16, 16);
        EXPECT_EQ(changedPixels(image, grey), changedPixels(tiles[i], grey)) << i;
        int darker = 0, lighter = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                darker += qGray(tiles[i].pixel(x, y)) < 64;
                lighter += qGray(tiles[i].pixel(x, y)) > 192;
            }
        EXPECT_GT(darker, 10) << i;
        EXPECT_GT(lighter, 10) << i;
    }
    EXPECT_NE(tiles[0], tiles[1]);
    EXPECT_NE(tiles[1], tiles[2]);
    EXPECT_NE(tiles[0], tiles[2]);
    EXPECT_EQ(changedPixels(paint([](Canvas &c) { c.drawHandleImage(3, 10, 20); }, grey), grey), 0);
}

TEST_F(QPainterCanvasTest, SavedPngReadsBackTheSamePixels) {
    const QImage image = paint([](Canvas &c) { c.fillRect(3, 4, 5, 6, kRed); });
    const std::string path = ::testing::TempDir() + "quentar_canvas_roundtrip.png";
    ASSERT_TRUE(savePng(image, path));
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(4), QByteArray("\x89PNG"));
    QImage back(QString::fromStdString(path));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image);
    EXPECT_FALSE(savePng(image, ::testing::TempDir() + "no/such/dir/x.png"));
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(recordMessage);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
