#include "dialogs/statusstrip.h"

#include <QImage>
#include <QPainter>

#include "dialogs/appresources.h"
#include "protocol/onlinestatusregistry.h"

namespace vela {
namespace {

QColor FromRgb(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

}  // namespace

StatusStrip::StatusStrip(int ctrlId, QWidget* parent) : QFrame(parent) {
    setProperty("ctrlId", ctrlId);
    setObjectName(QStringLiteral("ctl%1").arg(ctrlId));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(sizeHint().height());
    SetBitmap(Bitmap(false));
}

QPixmap StatusStrip::Bitmap(bool online) {
    InitResources();
    QPixmap pixmap(online ? QStringLiteral(":/vela/bitmaps/online.png")
                          : QStringLiteral(":/vela/bitmaps/offline.png"));
    if (pixmap.isNull()) {
        // Without the resource the bar must still tell the two states apart.
        pixmap = QPixmap(4, 4);
        pixmap.fill(FromRgb(online ? kOnlineBarRgb : kOfflineBarRgb));
    }
    return pixmap;
}

void StatusStrip::SetBitmap(const QPixmap& bitmap) {
    m_shownState = -1;
    m_bitmap = bitmap;
    const QImage image = bitmap.toImage();
    m_fill = image.isNull() ? QColor(Qt::gray) : image.pixelColor(0, 0);
    update();
}

void StatusStrip::ShowOnline(bool online) {
    // Every answer tells the state again; only a change needs the picture and a repaint.
    const int state = online ? 1 : 0;
    if (state == m_shownState) return;
    SetBitmap(Bitmap(online));
    m_shownState = state;
}

QSize StatusStrip::sizeHint() const {
    // About five dialog units: a little more than half a text line.
    return {100, std::max(8, fontMetrics().height() / 2 + 2 * frameWidth())};
}

void StatusStrip::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        const QRect inner = contentsRect();
        painter.fillRect(inner, m_fill);
        if (!m_bitmap.isNull()) {
            const QSize size = m_bitmap.deviceIndependentSize().toSize();
            painter.drawPixmap(QRect(inner.center() - QPoint(size.width() / 2, size.height() / 2), size),
                               m_bitmap);
        }
    }
    QFrame::paintEvent(event);
}

}  // namespace vela
