#include "editor/window/action_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <functional>

namespace editor {

namespace {

using A = TActionId;

const QColor Ink(60, 70, 90);
const QColor Accent(40, 120, 200);
const QColor Paper(250, 250, 245);

// A 24 x 24 icon drawn by `draw`, antialiased.
QIcon Drawn(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Ink, 1.4));
    draw(painter);
    return QIcon(pixmap);
}

// A small film frame: the shape the frame commands share.
void Frame(QPainter& p, QRectF r) {
    p.setBrush(Paper);
    p.drawRoundedRect(r, 2, 2);
    p.setBrush(Accent.lighter(150));
    p.drawRect(r.adjusted(3, 3, -3, -3));
}

void Arrow(QPainter& p, QPointF from, QPointF to) {
    p.setPen(QPen(Accent, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::max(1.0, QLineF(from, to).length());
    const QPointF n(-d.y(), d.x());
    p.drawLine(to, to - d * 5 + n * 4);
    p.drawLine(to, to - d * 5 - n * 4);
}

QIcon Painted(A id) {
    switch (id) {
    case A::FileSaveAll:
        return Drawn([](QPainter& p) {
            p.setBrush(Paper);
            p.drawRect(7, 3, 14, 14);
            p.setBrush(Accent.lighter(140));
            p.drawRect(3, 7, 14, 14);
            p.drawRect(6, 7, 8, 5);
        });
    case A::EditUndo:
        return Drawn([](QPainter& p) {
            p.setPen(QPen(Accent, 2.2, Qt::SolidLine, Qt::RoundCap));
            QPainterPath path(QPointF(6, 10));
            path.cubicTo(12, 4, 21, 8, 19, 17);
            p.drawPath(path);
            p.drawLine(QPointF(6, 10), QPointF(6, 4));
            p.drawLine(QPointF(6, 10), QPointF(12, 11));
        });
    case A::EditCut:
        return Drawn([](QPainter& p) {
            p.drawLine(QPointF(7, 3), QPointF(16, 16));
            p.drawLine(QPointF(17, 3), QPointF(8, 16));
            p.setBrush(Accent.lighter(150));
            p.drawEllipse(QPointF(6.5, 18.5), 3.5, 3.5);
            p.drawEllipse(QPointF(17.5, 18.5), 3.5, 3.5);
        });
    case A::EditCopy:
        return Drawn([](QPainter& p) {
            p.setBrush(Paper);
            p.drawRect(4, 3, 11, 14);
            p.drawRect(9, 7, 11, 14);
        });
    case A::EditPaste:
        return Drawn([](QPainter& p) {
            p.setBrush(QColor(200, 160, 100));
            p.drawRoundedRect(4, 4, 14, 17, 2, 2);
            p.setBrush(Paper);
            p.drawRect(9, 9, 11, 12);
            p.setBrush(Ink);
            p.drawRect(8, 2, 6, 4);
        });
    case A::FrameAdd:
        return Drawn([](QPainter& p) {
            Frame(p, QRectF(2, 5, 15, 15));
            p.setPen(QPen(QColor(30, 150, 60), 2.6));
            p.drawLine(QPointF(18, 3), QPointF(18, 13));
            p.drawLine(QPointF(13, 8), QPointF(23, 8));
        });
    case A::FrameDelete:
        return Drawn([](QPainter& p) {
            Frame(p, QRectF(2, 5, 15, 15));
            p.setPen(QPen(QColor(200, 40, 40), 2.6));
            p.drawLine(QPointF(14, 3), QPointF(22, 11));
            p.drawLine(QPointF(22, 3), QPointF(14, 11));
        });
    case A::FrameMoveBegin:
    case A::FrameMoveUp:
    case A::FrameMoveDown:
    case A::FrameMoveEnd: {
        const bool up = id == A::FrameMoveBegin || id == A::FrameMoveUp;
        const bool far = id == A::FrameMoveBegin || id == A::FrameMoveEnd;
        return Drawn([up, far](QPainter& p) {
            Frame(p, QRectF(2, 6, 12, 12));
            Arrow(p, QPointF(19, up ? 19 : 5), QPointF(19, up ? 6 : 18));
            if (far) {
                p.setPen(QPen(Accent, 2.2));
                p.drawLine(QPointF(15, up ? 3 : 21), QPointF(23, up ? 3 : 21));
            }
        });
    }
    case A::FrameGlobalChange:
        return Drawn([](QPainter& p) {
            Frame(p, QRectF(8, 2, 13, 13));
            Frame(p, QRectF(3, 9, 13, 13));
        });
    case A::AnimationInfo:
        return Drawn([](QPainter& p) {
            p.setBrush(Accent);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QRectF(2, 2, 20, 20));
            p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(12, 11), QPointF(12, 17));
            p.drawPoint(QPointF(12, 7));
        });
    case A::AnimationPalette:
        return Drawn([](QPainter& p) {
            const QColor colours[] = {QColor(220, 60, 60), QColor(60, 170, 80),
                                      QColor(60, 100, 220), QColor(240, 200, 50)};
            for (int i = 0; i < 4; ++i) {
                p.setBrush(colours[i]);
                p.drawRect(QRectF(3 + (i % 2) * 10, 3 + (i / 2) * 10, 8, 8));
            }
        });
    case A::AnimationOptimize:
        return Drawn([](QPainter& p) {
            p.setBrush(QColor(240, 200, 50));
            QPolygonF bolt({{13, 2}, {5, 13}, {11, 13}, {9, 22}, {19, 9}, {13, 9}});
            p.drawPolygon(bolt);
        });
    case A::AnimationResize:
        return Drawn([](QPainter& p) {
            p.setBrush(Paper);
            p.drawRect(3, 9, 12, 12);
            Arrow(p, QPointF(11, 13), QPointF(20, 4));
        });
    case A::HelpContents:
        return Drawn([](QPainter& p) {
            p.setBrush(Accent);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QRectF(2, 2, 20, 20));
            p.setPen(Qt::white);
            QFont font = p.font();
            font.setBold(true);
            font.setPixelSize(15);
            p.setFont(font);
            p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, "?");
        });
    default: return {};
    }
}

// The theme's name and the style's picture of each action, where there are ones.
struct TStandardIcon {
    A Id;
    const char* Theme;
    QStyle::StandardPixmap Style;
};

constexpr TStandardIcon Standard[] = {
    {A::FileNew, "document-new", QStyle::SP_FileIcon},
    {A::FileOpen, "document-open", QStyle::SP_DialogOpenButton},
    {A::FileSave, "document-save", QStyle::SP_DialogSaveButton},
    {A::FileClose, "window-close", QStyle::SP_DialogCloseButton},
    {A::AnimationPlay, "media-playback-start", QStyle::SP_MediaPlay},
    {A::AnimationPause, "media-playback-pause", QStyle::SP_MediaPause},
};

} // namespace

QIcon ActionIcon(TActionId id, const QStyle& style) {
    if (id == A::HelpContents) return QIcon::fromTheme("help-contents", Painted(id));
    for (const TStandardIcon& entry : Standard)
        if (entry.Id == id) return QIcon::fromTheme(entry.Theme, style.standardIcon(entry.Style));
    return Painted(id);
}

QIcon InspectorIcon() {
    return Drawn([](QPainter& p) {
        p.setBrush(Paper);
        p.drawRect(3, 3, 18, 18);
        p.setPen(QPen(Accent, 1.6));
        for (int y : {8, 12, 16}) {
            p.drawLine(6, y, 10, y);
            p.drawLine(12, y, 18, y);
        }
    });
}

QIcon ArrowIcon(bool pointsRight) {
    return Drawn([pointsRight](QPainter& p) {
        Arrow(p, QPointF(pointsRight ? 4 : 20, 12), QPointF(pointsRight ? 19 : 5, 12));
    });
}

QIcon ProgramIcon() {
    // Drawn on a 64-unit grid at twice the size, so that large uses stay sharp.
    QPixmap pixmap(128, 128);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(35, 45, 70));
    p.drawRoundedRect(4, 10, 56, 44, 8, 8);
    p.setBrush(QColor(250, 250, 245));
    for (int x = 10; x < 58; x += 10) {
        p.drawRect(x, 13, 5, 5);
        p.drawRect(x, 46, 5, 5);
    }
    p.setPen(QPen(QColor(90, 190, 255), 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(18, 20, 28, 24), 30 * 16, 300 * 16);
    p.drawLine(QPointF(44, 26), QPointF(47, 18));
    p.drawLine(QPointF(44, 26), QPointF(36, 25));
    return QIcon(pixmap);
}

} // namespace editor
