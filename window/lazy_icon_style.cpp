#include "window/lazy_icon_style.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>

namespace orvane {

namespace {

// An icon that asks the style for itself when first drawn or measured.
class DeferredIcon final : public QIconEngine {
public:
    DeferredIcon(const QStyle *style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    // Not known to be null before the style was asked: asking now would load
    // what this icon defers.
    bool isNull() override { return asked_ && icon_.isNull(); }
    QIconEngine *clone() const override { return new DeferredIcon(*this); }

private:
    const QIcon &icon()
    {
        if (!asked_) {
            // A style set after this one has deleted it: no icon then.
            if (style_)
                icon_ = style_->standardIcon(which_);
            asked_ = true;
        }
        return icon_;
    }

    QPointer<const QStyle> style_;
    QStyle::StandardPixmap which_;
    QIcon icon_;
    bool asked_ = false;
};

} // namespace

QIcon LazyIconStyle::standardIcon(StandardPixmap which, const QStyleOption *option, const QWidget *widget) const
{
    if (which == SP_ToolBarHorizontalExtensionButton && !option)
        return QIcon(new DeferredIcon(baseStyle(), which));
    return QProxyStyle::standardIcon(which, option, widget);
}

void LazyIconStyle::install()
{
    if (qobject_cast<LazyIconStyle *>(QApplication::style()))
        return;
    if (QStyle *kind = QStyleFactory::create(QApplication::style()->name()))
        QApplication::setStyle(new LazyIconStyle(kind));
}

} // namespace orvane
