#pragma once

#include <QWidget>

namespace vela {

// A static picture drawn at run time, so it stays sharp at every display scaling: the
// line-status lamp and the decorative pictures beside the file buttons.
class PictureControl : public QWidget {
    Q_OBJECT

  public:
    enum class Picture { RedLamp, GreenLamp, SaveFile, OpenFile };

    PictureControl(int ctrlId, Picture picture, QWidget* parent = nullptr);

    void SetPicture(Picture picture);
    Picture CurrentPicture() const { return m_picture; }

    QSize sizeHint() const override { return {32, 32}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Picture m_picture;
};

}  // namespace vela
