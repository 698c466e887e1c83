#pragma once

#include <QFrame>
#include <QPixmap>

namespace vela {

// The thin online/offline bar along a window's bottom edge. It shows a small bitmap
// centred and fills the rest of the strip with the bitmap's top-left colour, so the
// whole strip reads red or green.
class StatusStrip : public QFrame {
    Q_OBJECT

  public:
    StatusStrip(int ctrlId, QWidget* parent = nullptr);

    void SetBitmap(const QPixmap& bitmap);
    void ShowOnline(bool online);
    QColor FillColor() const { return m_fill; }

    // The bar bitmaps: red for offline, green for online.
    static QPixmap Bitmap(bool online);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap m_bitmap;
    QColor m_fill;
    int m_shownState = -1;  // what ShowOnline last drew: 0 offline, 1 online; -1 since SetBitmap
};

}  // namespace vela
