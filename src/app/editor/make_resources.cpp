// make_resources: draws the pictures that ship in Lwr3lib.rcc at build time: the splash
// picture "SPLASH" (PNG), the looping start-up animation "ANIMATED" (a GIF written by our
// own GIF library), the program's icon, and the wizards window's gradient heading "HEADING"
// and side pictures "ANI_WIZ" and "OPT_WIZ".
//   make_resources OUTPUT_FOLDER
#include "editor/core/animation_routines.h"
#include "editor/core/palette_routines.h"
#include "editor/core/temp_files.h"
#include "editor/window/action_icons.h"
#include "gif/graphics/bitmap.h"
#include "gif/model/image.h"
#include "gif/reduce/reduction.h"

#include <QDir>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor Navy(30, 40, 66);
const QColor Sky(90, 190, 255);
const QColor Paper(250, 250, 245);

// The frame colours shown in the film's windows, one per window.
const QColor Windows[] = {QColor(236, 94, 80), QColor(250, 196, 64), QColor(92, 186, 110),
                          QColor(88, 150, 236), QColor(170, 110, 220)};

QImage Splash() {
    QImage image(480, 280, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 280);
    sky.setColorAt(0, Navy);
    sky.setColorAt(1, QColor(44, 82, 140));
    p.fillRect(image.rect(), sky);
    p.drawPixmap(36, 84, editor::ProgramIcon().pixmap(112, 112));
    p.setPen(Paper);
    QFont title("DejaVu Sans", 26, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(168, 86, 300, 44), Qt::AlignLeft | Qt::AlignVCenter, "GIF Loopwright");
    p.setFont(QFont("DejaVu Sans", 15));
    p.setPen(Sky);
    p.drawText(QRect(170, 130, 300, 30), Qt::AlignLeft | Qt::AlignVCenter, "Version 3.0");
    p.setPen(QColor(200, 210, 230));
    p.setFont(QFont("DejaVu Sans", 10));
    p.drawText(QRect(170, 160, 300, 24), Qt::AlignLeft | Qt::AlignVCenter,
               "An editor for animated GIF images");
    p.drawText(QRect(20, 244, 440, 24), Qt::AlignRight | Qt::AlignVCenter, "Quillmark Software");
    return image;
}

// Frame `step` of `steps`: a film strip that runs one window to the left over the loop,
// its windows lighting up in turn, under the program's name.
QImage AnimationFrame(int step, int steps) {
    constexpr int Width = 360, Height = 200, Pitch = 96, StripTop = 62, StripHeight = 92;
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Navy);
    p.setFont(QFont("DejaVu Sans", 17, QFont::Bold));
    p.drawText(QRect(0, 8, Width, 40), Qt::AlignCenter, "GIF Loopwright 3.0");

    p.setPen(Qt::NoPen);
    p.setBrush(Navy);
    p.drawRect(0, StripTop, Width, StripHeight);
    const double shift = double(Pitch) * step / steps;
    p.setBrush(Paper);
    for (double x = -shift; x < Width; x += 16)
        p.drawRoundedRect(QRectF(x + 4, StripTop + 5, 8, 7), 2, 2);
    for (double x = -shift; x < Width; x += 16)
        p.drawRoundedRect(QRectF(x + 4, StripTop + StripHeight - 12, 8, 7), 2, 2);
    const int lit = (step * 5 / steps) % 5;
    for (int i = 0; i * Pitch - shift < Width; ++i) {
        const QRectF window(i * Pitch - shift + 10, StripTop + 18, Pitch - 20, StripHeight - 36);
        const QColor colour = Windows[i % 5];
        p.setBrush(i % 5 == lit ? colour : colour.darker(160));
        p.drawRoundedRect(window, 4, 4);
        // A ball that hops across the windows: the "animation" inside the film.
        p.setBrush(Paper);
        const double hop = std::abs(std::sin((step + i * 3) * 3.14159 / steps * 2));
        p.drawEllipse(QPointF(window.center().x(), window.bottom() - 10 - hop * 26), 7, 7);
    }
    p.setPen(QColor(110, 120, 140));
    p.setFont(QFont("DejaVu Sans", 10));
    p.drawText(QRect(0, StripTop + StripHeight + 8, Width, 30), Qt::AlignCenter,
               "Open an animation, or drop picture files here");
    return image;
}

gif::TBitmap ToBitmap(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    gif::TBitmap bitmap(rgb.width(), rgb.height(), gif::pf24bit);
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* source = rgb.constScanLine(y);
        uint8_t* target = bitmap.ScanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            target[x * 3] = source[x * 3 + 2];
            target[x * 3 + 1] = source[x * 3 + 1];
            target[x * 3 + 2] = source[x * 3];
        }
    }
    return bitmap;
}

void WriteAnimation(const QString& path) {
    constexpr int Steps = 12;
    gif::TGIFImage animation;
    animation.ReductionMethod = gif::crOptimized;
    animation.SetReductionDepth(8);
    animation.DitherMethod = gif::dtNearest;
    for (int step = 0; step < Steps; ++step) {
        const gif::TBitmap bitmap = ToBitmap(AnimationFrame(step, Steps));
        const int index = animation.AddFrame(&bitmap);
        editor::EnsureGraphicControl(*animation.Frame(index), 9);
    }
    editor::OptimiseColorMaps(animation);
    // The reduction averages the white background with the light colours near it: those
    // entries become pure white again, so that the animation meets the white panel it is
    // shown on without a seam.
    gif::TGIFColorMap& table = animation.GlobalColorMap();
    for (int i = 0; i < table.EntryCount(); ++i) {
        const gif::TGIFColor c = table.Entries()[size_t(i)];
        if (c.Red >= 244 && c.Green >= 244 && c.Blue >= 244)
            table.SetColorAt(i, gif::RGB(255, 255, 255));
    }
    editor::AddLoopExtension(animation, 0, 0);
    animation.SaveToFile(editor::NativePath(path));
}

// The wizards window's heading: a band from navy to sky, stretched across the window.
QImage Heading() {
    QImage image(640, 44, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient band(0, 0, 640, 0);
    band.setColorAt(0, Navy);
    band.setColorAt(0.55, QColor(44, 82, 140));
    band.setColorAt(1, Sky);
    p.fillRect(image.rect(), band);
    return image;
}

// A side picture of the wizards: a tall panel in the heading's colours with `draw` on it.
template <class Draw> QImage WizardPicture(Draw draw) {
    QImage image(132, 280, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 280);
    sky.setColorAt(0, Navy);
    sky.setColorAt(1, QColor(44, 82, 140));
    p.fillRect(image.rect(), sky);
    draw(p);
    return image;
}

// "ANI_WIZ": three pictures fanned out, falling into a film strip.
QImage AnimationWizardPicture() {
    return WizardPicture([](QPainter& p) {
        for (int i = 0; i < 3; ++i) {
            p.save();
            p.translate(66, 86);
            p.rotate(-16 + 16 * i);
            p.setPen(QPen(Paper, 2));
            p.setBrush(Windows[i]);
            p.drawRect(-26, -46, 52, 40);
            p.restore();
        }
        p.setPen(Qt::NoPen);
        p.setBrush(Sky);
        QPainterPath arrow;
        arrow.moveTo(58, 120);
        arrow.lineTo(74, 120);
        arrow.lineTo(74, 140);
        arrow.lineTo(84, 140);
        arrow.lineTo(66, 160);
        arrow.lineTo(48, 140);
        arrow.lineTo(58, 140);
        arrow.closeSubpath();
        p.drawPath(arrow);
        p.setBrush(QColor(20, 24, 36));
        p.drawRect(14, 176, 104, 64);
        p.setBrush(Paper);
        for (int x = 20; x < 114; x += 14) {
            p.drawRect(x, 180, 7, 6);
            p.drawRect(x, 230, 7, 6);
        }
        for (int i = 0; i < 3; ++i) {
            p.setBrush(Windows[i]);
            p.drawRect(20 + i * 32, 192, 28, 32);
        }
    });
}

// "OPT_WIZ": a large file pressed into a small one.
QImage OptimizationWizardPicture() {
    return WizardPicture([](QPainter& p) {
        auto page = [&p](QRectF r, const QColor& fill) {
            const qreal fold = r.width() / 4;
            QPainterPath sheet;
            sheet.moveTo(r.topLeft());
            sheet.lineTo(r.right() - fold, r.top());
            sheet.lineTo(r.right(), r.top() + fold);
            sheet.lineTo(r.bottomRight());
            sheet.lineTo(r.bottomLeft());
            sheet.closeSubpath();
            p.setPen(QPen(Paper, 2));
            p.setBrush(fill);
            p.drawPath(sheet);
        };
        page(QRectF(30, 28, 72, 92), Windows[3]);
        p.setPen(Qt::NoPen);
        p.setBrush(Sky);
        p.drawRect(36, 134, 60, 8);
        QPainterPath press;
        press.moveTo(44, 150);
        press.lineTo(88, 150);
        press.lineTo(66, 176);
        press.closeSubpath();
        p.drawPath(press);
        page(QRectF(46, 190, 40, 52), Windows[2]);
    });
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_resources OUTPUT_FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!Splash().save(out.filePath("splash.png"))) return 1;
    if (!editor::ProgramIcon().pixmap(128, 128).save(out.filePath("loopwright.png"))) return 1;
    if (!Heading().save(out.filePath("heading.png"))) return 1;
    if (!AnimationWizardPicture().save(out.filePath("ani_wiz.png"))) return 1;
    if (!OptimizationWizardPicture().save(out.filePath("opt_wiz.png"))) return 1;
    try {
        WriteAnimation(out.filePath("animated.gif"));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_resources: %s\n", error.what());
        return 1;
    }
    return 0;
}
