// Paints the application icon as PNG files, and checks painted ones.
//
//   orvane-make-icons OUT.png SIZE [OUT.png SIZE ...]   paint SIZE x SIZE images
//   orvane-make-icons --maskable OUT.png SIZE [...]    the same, for a launcher's mask
//   orvane-make-icons --check IN.png SIZE               exit 0 when IN.png looks right
//
// The motif is the one of orvane.svg beside this file, on the same 256-unit
// canvas: a teal rounded square, the yellow figure-8, the white omni circle and
// the black cardioid with its front down, as the program draws them. A maskable
// icon (the web app's, which a launcher cuts to a circle or a squircle) is teal
// to its edges, with the curves shrunk into the middle circle of 80% of its
// width that every mask keeps. Only QImage and QPainter are used, so no display
// is needed.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace {

constexpr double kCanvas = 256.0;
constexpr QColor kTeal(0, 192, 192);
constexpr QColor kYellow(255, 255, 0);
constexpr QColor kWhite(255, 255, 255);
constexpr QColor kBlack(0, 0, 0);

// Centre of the plot and the omni level; the cardioid reaches twice as far.
constexpr double kCx = 128.0;
constexpr double kCy = 94.0;
constexpr double kOmni = 68.0;

// The curves reach 103 units from the canvas's centre; a maskable icon keeps
// them within 40% of its width of the centre, with a margin.
constexpr double kMaskableScale = 0.85;

QImage Paint(int size, bool maskable)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double scale = size / kCanvas;
    p.scale(scale, scale);

    p.setPen(Qt::NoPen);
    p.setBrush(kTeal);
    if (maskable) {
        p.drawRect(QRectF(0, 0, kCanvas, kCanvas));
        p.translate(kCanvas / 2, kCanvas / 2);
        p.scale(kMaskableScale, kMaskableScale);
        p.translate(-kCanvas / 2, -kCanvas / 2);
    } else {
        p.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
    }

    // Five units on the 256 canvas, but never thinner than one pixel.
    const double width = std::max(5.0, 1.0 / scale);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kYellow, width));
    p.drawEllipse(QPointF(kCx, kCy - kOmni / 2), kOmni / 2, kOmni / 2);
    p.drawEllipse(QPointF(kCx, kCy + kOmni / 2), kOmni / 2, kOmni / 2);
    p.setPen(QPen(kWhite, width));
    p.drawEllipse(QPointF(kCx, kCy), kOmni, kOmni);

    // r = omni * (1 + cos t), with t = 0 pointing down.
    QPainterPath cardioid;
    constexpr int kSteps = 720;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = 2.0 * std::numbers::pi * i / kSteps;
        const double r = kOmni * (1.0 + std::cos(t));
        const QPointF point(kCx + r * std::sin(t), kCy + r * std::cos(t));
        if (i == 0)
            cardioid.moveTo(point);
        else
            cardioid.lineTo(point);
    }
    cardioid.closeSubpath();
    p.setPen(QPen(kBlack, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(cardioid);
    return image;
}

int Distance(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

// The size, a clear corner, teal background, and each of the three curves
// showing in at least one pixel that is nearer its colour than any other.
bool Check(const char *path, int size)
{
    QImage image(QString::fromLocal8Bit(path));
    if (image.isNull()) {
        std::fprintf(stderr, "%s: not a readable image\n", path);
        return false;
    }
    if (image.width() != size || image.height() != size) {
        std::fprintf(stderr, "%s: %dx%d, wanted %dx%d\n", path, image.width(), image.height(),
                     size, size);
        return false;
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    if (qAlpha(image.pixel(0, 0)) != 0) {
        std::fprintf(stderr, "%s: the corner is not transparent\n", path);
        return false;
    }
    // (40, 40) on the canvas lies inside the square and clear of every curve.
    const int clear = static_cast<int>(40.0 * size / kCanvas);
    if (image.pixelColor(clear, clear) != kTeal) {
        std::fprintf(stderr, "%s: no teal background at (%d, %d)\n", path, clear, clear);
        return false;
    }
    const QColor palette[] = {kTeal, kYellow, kWhite, kBlack};
    const char *names[] = {"teal", "yellow", "white", "black"};
    int counts[4] = {};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() != 255)
                continue;
            int best = 0;
            for (int k = 1; k < 4; ++k)
                if (Distance(c, palette[k]) < Distance(c, palette[best]))
                    best = k;
            ++counts[best];
        }
    }
    for (int k = 1; k < 4; ++k) {
        if (counts[k] == 0) {
            std::fprintf(stderr, "%s: nothing %s in it\n", path, names[k]);
            return false;
        }
    }
    return true;
}

bool ParseSize(const char *text, int &size)
{
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < 8 || value > 1024)
        return false;
    size = static_cast<int>(value);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    int size = 0;
    if (argc == 4 && QString::fromLatin1(argv[1]) == QLatin1String("--check")) {
        if (!ParseSize(argv[3], size)) {
            std::fprintf(stderr, "%s: bad size %s\n", argv[0], argv[3]);
            return 2;
        }
        return Check(argv[2], size) ? 0 : 1;
    }
    const bool maskable = argc > 1 && QString::fromLatin1(argv[1]) == QLatin1String("--maskable");
    const int first = maskable ? 2 : 1;
    if (argc - first < 2 || (argc - first) % 2 != 0) {
        std::fprintf(stderr, "usage: %s [--maskable] OUT.png SIZE [OUT.png SIZE ...]\n"
                             "       %s --check IN.png SIZE\n", argv[0], argv[0]);
        return 2;
    }
    for (int i = first; i < argc; i += 2) {
        if (!ParseSize(argv[i + 1], size)) {
            std::fprintf(stderr, "%s: bad size %s\n", argv[0], argv[i + 1]);
            return 2;
        }
        const QString path = QString::fromLocal8Bit(argv[i]);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!Paint(size, maskable).save(path, "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[i]);
            return 1;
        }
    }
    return 0;
}
