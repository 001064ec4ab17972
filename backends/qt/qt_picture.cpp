#include "backends/qt/qt_picture.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

#include "tavo/host/error.h"

namespace tavo {

namespace {

class PictureIconEngine : public QIconEngine {
public:
    PictureIconEngine(QImage image, PictureScaling scaling) : image_(std::move(image)), scaling_(scaling) {}

    QIconEngine* clone() const override { return new PictureIconEngine(image_, scaling_); }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return fitted(size); }
    // Qt asks with the size in device pixels when the ratio is above 1, and in
    // logical pixels (the same then) otherwise.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal) override {
        const QSize device = fitted(size);
        if (device.isEmpty()) return {};
        if (cacheSize_ != device || cacheMode_ != mode) {
            QPixmap pm = QPixmap::fromImage(scalePicture(image_, scaling_, device));
            if (mode == QIcon::Disabled) {
                QStyleOption option;
                option.palette = QApplication::palette();
                pm = QApplication::style()->generatedIconPixmap(QIcon::Disabled, pm, &option);
            }
            cache_ = pm;
            cacheSize_ = device;
            cacheMode_ = mode;
        }
        return cache_;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device()->devicePixelRatioF();
        const QSize device(qRound(rect.width() * ratio), qRound(rect.height() * ratio));
        QPixmap pm = scaledPixmap(device, mode, state, ratio);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), pm);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {image_.size()}; }
    bool isNull() override { return image_.isNull(); }

private:
    QSize fitted(const QSize& size) const { return image_.size().scaled(size, Qt::KeepAspectRatio); }

    QImage image_;
    PictureScaling scaling_;
    QPixmap cache_;
    QSize cacheSize_;
    QIcon::Mode cacheMode_ = QIcon::Normal;
};

QRgb rgbOf(uint32_t bgr) { return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)); }

}  // namespace

QImage pictureImage(const PictureRef& picture, std::optional<uint32_t> maskColour) {
    if (!picture) return {};
    QImage image;
    const auto& bytes = picture->bytes();
    if (!image.loadFromData(bytes.data(), int(bytes.size()), pictureFormatName(picture->format())))
        throwHostError(err::InvalidPicture,
                       std::string("the ") + pictureFormatName(picture->format()) + " picture of " +
                           std::to_string(bytes.size()) + " bytes could not be decoded");
    image = image.convertToFormat(QImage::Format_ARGB32);
    if (maskColour) {
        const QRgb mask = rgbOf(*maskColour);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(line[x]) == 255 && (line[x] & RGB_MASK) == (mask & RGB_MASK)) line[x] = 0;
        }
    }
    return image;
}

QSizeF pictureSize(QSize pixels, float twipsPerPixelX, float twipsPerPixelY) {
    constexpr double kTwipsPerPicturePixel = 15.0;
    return {pixels.width() * kTwipsPerPicturePixel / twipsPerPixelX,
            pixels.height() * kTwipsPerPicturePixel / twipsPerPixelY};
}

QImage scalePicture(const QImage& image, PictureScaling scaling, QSize device) {
    if (image.isNull() || device.isEmpty() || image.size() == device) return image;
    if (scaling == PictureScaling::Smooth)
        return image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // The smallest whole enlargement that covers the device pixels; a ratio
    // that misses a whole one by rounding alone counts as that one.
    const double ratio = std::max(double(device.width()) / image.width(), double(device.height()) / image.height());
    const int whole = std::max(1, int(std::ceil(ratio - 1e-3)));
    QImage big = whole == 1 ? image : image.scaled(image.size() * whole, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (big.size() == device) return big;
    return big.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QIcon pictureIcon(const QImage& image, PictureScaling scaling) {
    if (image.isNull()) return {};
    return QIcon(new PictureIconEngine(image, scaling));
}

}  // namespace tavo
