#include "dialogs/picturecontrol.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace vela {
namespace {

void DrawLamp(QPainter& p, const QRectF& box, const QColor& colour) {
    const QRectF lamp = box.adjusted(2, 2, -2, -2);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(200, 200, 200));
    p.drawEllipse(lamp);
    const QRectF glass = lamp.adjusted(3, 3, -3, -3);
    QRadialGradient light(glass.center() - QPointF(glass.width() / 6, glass.height() / 6),
                          glass.width() / 1.6);
    light.setColorAt(0, colour.lighter(170));
    light.setColorAt(0.45, colour);
    light.setColorAt(1, colour.darker(160));
    p.setPen(QPen(colour.darker(200), 1));
    p.setBrush(light);
    p.drawEllipse(glass);
}

// A sheet of paper with a folded corner and an arrow into it (save) or out of it (open).
void DrawFile(QPainter& p, const QRectF& box, bool save) {
    const QRectF sheet(box.left() + 5, box.top() + 2, box.width() - 12, box.height() - 4);
    const qreal fold = sheet.width() / 3;
    QPainterPath page;
    page.moveTo(sheet.topLeft());
    page.lineTo(sheet.right() - fold, sheet.top());
    page.lineTo(sheet.right(), sheet.top() + fold);
    page.lineTo(sheet.bottomRight());
    page.lineTo(sheet.bottomLeft());
    page.closeSubpath();
    p.setPen(QPen(QColor(70, 80, 95), 1.2));
    p.setBrush(QColor(250, 250, 246));
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(sheet.right() - fold, sheet.top());
    corner.lineTo(sheet.right() - fold, sheet.top() + fold);
    corner.lineTo(sheet.right(), sheet.top() + fold);
    p.setBrush(QColor(215, 220, 228));
    p.drawPath(corner);
    p.setPen(QPen(QColor(150, 160, 175), 1));
    for (int i = 0; i < 3; ++i) {
        const qreal y = sheet.top() + fold + 4 + i * 4;
        p.drawLine(QPointF(sheet.left() + 3, y), QPointF(sheet.right() - 4, y));
    }

    const QColor arrowColour = save ? QColor(30, 110, 200) : QColor(40, 140, 60);
    const qreal x = box.right() - 7;
    const qreal top = box.top() + box.height() * 0.45;
    const qreal bottom = box.bottom() - 2;
    p.setPen(QPen(arrowColour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(x, top), QPointF(x, bottom));
    const qreal tipY = save ? bottom : top;
    const qreal dir = save ? -1 : 1;
    p.drawLine(QPointF(x, tipY), QPointF(x - 4, tipY + dir * 4));
    p.drawLine(QPointF(x, tipY), QPointF(x + 4, tipY + dir * 4));
}

}  // namespace

PictureControl::PictureControl(int ctrlId, Picture picture, QWidget* parent)
    : QWidget(parent), m_picture(picture) {
    setObjectName(QStringLiteral("ctl%1").arg(ctrlId));
    setProperty("ctrlId", ctrlId);
    setFixedSize(sizeHint());
}

void PictureControl::SetPicture(Picture picture) {
    if (picture == m_picture) return;
    m_picture = picture;
    update();
}

void PictureControl::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0, 0, width(), height());
    switch (m_picture) {
        case Picture::RedLamp:
            DrawLamp(p, box, QColor(220, 30, 30));
            break;
        case Picture::GreenLamp:
            DrawLamp(p, box, QColor(30, 170, 50));
            break;
        case Picture::SaveFile:
            DrawFile(p, box, true);
            break;
        case Picture::OpenFile:
            DrawFile(p, box, false);
            break;
    }
}

}  // namespace vela
