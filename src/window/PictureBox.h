#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>

namespace pelicard {

enum class PictureScale { Pixels, Twips };

// A picture box whose drawing persists: everything is drawn into its image, and the widget shows
// that image. A loaded picture is its background, which Cls restores.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    // The persistent drawing (32-bit RGB), as large as the box.
    QImage& image();
    const QImage& image() const;

    PictureScale ScaleMode() const { return scale_; }
    void SetScaleMode(PictureScale mode) { scale_ = mode; }
    // The inner size in the scale's units.
    double ScaleWidth() const;
    double ScaleHeight() const;
    // A point in the scale's units, in pixels of the image.
    QPoint ToPixels(double x, double y) const;

    int DrawWidth() const { return drawWidth_; }
    void SetDrawWidth(int pixels);

    // Clears the drawing to the back colour and the background picture.
    void Cls();
    // Shows the drawing on screen.
    void Refresh();
    // A straight line in the scale's units, with the current draw width. Colour as blue-green-red.
    void DrawLine(double x1, double y1, double x2, double y2, std::uint32_t colour);

    // Writes the drawing as a bitmap; false when it cannot be written.
    bool SavePicture(const QString& path) const;
    // Makes the bitmap (or any image) the background and the drawing; false when it cannot be read,
    // in which case nothing changes.
    bool LoadPicture(const QString& path);
    // Drops the background picture; the drawing stays until the next Cls.
    void ClearPicture();
    bool HasPicture() const { return !background_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor Back() const;
    void Fill(QImage& target) const;
    // A hidden widget gets no resize events, so the image catches up with the size on use.
    void FitCanvas() const;

    mutable QImage canvas_;
    QImage background_;
    PictureScale scale_ = PictureScale::Pixels;
    int drawWidth_ = 1;
};

} // namespace pelicard
