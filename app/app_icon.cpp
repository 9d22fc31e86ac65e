// The application icon: its images are compiled in, and made into pixmaps only when the window
// system or a widget asks for one, so nothing is decoded at start.
#include "app_icon.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "app_icon_pixels.h"

namespace kov {

namespace {

// Sizes here are in device pixels, as QIcon hands them to its engine; the icon of the same images
// that this engine leans on is asked at a ratio of 1, so that nothing is scaled twice.
class CompiledIconEngine : public QIconEngine {
public:
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        // As Qt's own icon engine: the smallest image at least as large, else the largest, no
        // larger than asked.
        QSize actual;
        for (const IconPixels& image : kIconPixels) {
            const QSize candidate(image.width, image.height);
            const auto area = [](QSize s) { return qint64(s.width()) * s.height(); };
            const qint64 wanted = area(size);
            if (actual.isEmpty() || (area(candidate) >= wanted && (area(actual) < wanted || area(candidate) < area(actual))) ||
                (area(actual) < wanted && area(candidate) > area(actual)))
                actual = candidate;
        }
        if (actual.width() > size.width() || actual.height() > size.height()) actual.scale(size, Qt::KeepAspectRatio);
        return actual;
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        if (mode == QIcon::Normal && state == QIcon::Off)
            for (const IconPixels& image : kIconPixels)
                if (size == QSize(image.width, image.height)) return QPixmap::fromImage(Image(image));
        return Icon().pixmap(size, 1.0, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    // Without making any pixmap: what the window system asks before it asks for the pixmaps.
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        QList<QSize> sizes;
        if (mode == QIcon::Normal && state == QIcon::Off)
            for (const IconPixels& image : kIconPixels) sizes.append(QSize(image.width, image.height));
        return sizes;
    }
    QString key() const override { return QStringLiteral("kovconfig"); }
    QIconEngine* clone() const override { return new CompiledIconEngine; }

private:
    // Qt's own icon of the same images, for the same choice of size and the same scaling; made
    // when first needed.
    const QIcon& Icon() {
        if (icon_.isNull())
            for (const IconPixels& image : kIconPixels) icon_.addPixmap(QPixmap::fromImage(Image(image)));
        return icon_;
    }
    static QImage Image(const IconPixels& image) {
        return QImage(reinterpret_cast<const uchar*>(image.argb), image.width, image.height,
                      QImage::Format_ARGB32_Premultiplied);
    }

    QIcon icon_;
};

}  // namespace

QIcon AppIcon() { return QIcon(new CompiledIconEngine); }

}  // namespace kov
