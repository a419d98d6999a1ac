#pragma once

#include <QProxyStyle>

namespace orvane {

// The application's style with one difference: the icon of a menu bar's
// extension button, which shows only when the menus do not fit the bar, is
// read when first drawn rather than when the menu bar is made. Qt's style reads
// it from a PNG file through an image reader that loads every image-format
// plugin to ask each whether it knows the file: about half a megabyte of
// libraries and decoding at every start, for a button the window never shows.
class LazyIconStyle : public QProxyStyle {
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;

    // Makes the application's style this one, around a new style of the kind it
    // had, before the first menu bar is made; once.
    static void install();
};

} // namespace orvane
