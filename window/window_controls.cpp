// The window's controls, made from the layout table: each in its place below
// the menu bar, in its font, named for assistive technology, in tab order.
#include <algorithm>

#include <QFontMetricsF>
#include <QLabel>
#include <QtMath>
#include <QPushButton>
#include <QSlider>

#include "pattern/layout.h"
#include "pattern/pattern_description.h"
#include "pattern/pattern_sound.h"
#include "window/accessibility.h"
#include "window/main_window.h"
#include "window/plot_surface.h"
#include "window/window_parts.h"

namespace orvane {

namespace {

QRect TwipsToPixels(const ControlSpec &entry)
{
    return {entry.left / kTwipsPerPixel, entry.top / kTwipsPerPixel, entry.width / kTwipsPerPixel,
            entry.height / kTwipsPerPixel};
}

// "MS Sans Serif" and "Symbol" are not on Linux. Liberation Sans at 10 pixels
// is as compact as the 8.25 pt bitmap face was at 96 dpi, so every caption
// fits its fixed box ("Omni" over its 25-pixel slider most narrowly); the title
// keeps its 12 pt (16 pixels). The same face has the notice's copyright sign.
// Japanese, Chinese and Korean take their characters from Debian's Noto CJK,
// in the language's own forms of the Han characters; Latin letters and digits
// stay Liberation Sans.
QFont FontFor(FontRole role)
{
    QFont font;
    QStringList families{"Liberation Sans"};
    // The title ("Brevalon") stays Latin: its bold face needs no CJK face loaded.
    if (*CurrentLanguage().cjkFont && role == FontRole::Form)
        families << QString::fromUtf8(CurrentLanguage().cjkFont);
    families << "Arial" << "Helvetica" << "DejaVu Sans";
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    if (role == FontRole::Title) {
        font.setPixelSize(16);
        font.setWeight(QFont::Bold);
        font.setUnderline(true);
    }
    return font;
}

QString Shown(const ControlSpec &entry)
{
    return QString::fromStdString(ShownText(entry));
}

QWidget *MakeControl(const ControlSpec &entry, QWidget *parent)
{
    switch (entry.kind) {
    case ControlKind::Surface:
        return new PlotSurface(parent);
    case ControlKind::VerticalSlider:
    case ControlKind::HorizontalSlider: {
        const bool vertical = entry.kind == ControlKind::VerticalSlider;
        auto *slider = new ValueSlider(vertical ? Qt::Vertical : Qt::Horizontal, parent);
        const SliderSettings &s = *entry.slider;
        slider->setRange(s.minimum, s.maximum);
        slider->setSingleStep(s.smallStep);
        slider->setPageStep(s.largeStep);
        slider->setValue(s.start);
        if (s.tickInterval > 0) {
            slider->setTickPosition(QSlider::TicksRight);
            slider->setTickInterval(s.tickInterval);
        }
        if (vertical) {
            // The minimum (full level) at the top, and Up lowers the value.
            slider->setInvertedAppearance(true);
            slider->setInvertedControls(true);
        }
        // The wheel gives the focus too, so a screen reader speaks what it moves.
        slider->setFocusPolicy(Qt::WheelFocus);
        return slider;
    }
    case ControlKind::Label:
    case ControlKind::Readout: {
        auto *label = entry.kind == ControlKind::Readout ? new Readout(Shown(entry), parent)
                                                          : new QLabel(Shown(entry), parent);
        label->setAutoFillBackground(true); // opaque, in the window's colour
        label->setAlignment((entry.alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
        label->setFocusPolicy(Qt::NoFocus);
        return label;
    }
    case ControlKind::Button: {
        auto *button = new QPushButton(Shown(entry), parent);
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);
        return button;
    }
    }
    return nullptr;
}

} // namespace

QFont OrvaneFrm::formFont()
{
    return FontFor(FontRole::Form);
}

void OrvaneFrm::buildControls()
{
    QWidget *previous = nullptr;
    for (const ControlSpec &entry : ControlTable()) {
        if (entry.probeOnly && !HasProbe(edition_))
            continue;
        QWidget *control = MakeControl(entry, this);
        control->setObjectName(QString::fromLatin1(entry.name));
        QRect box = TwipsToPixels(entry).translated(0, clientTop_);
        if (entry.roomTo > 0) {
            const QString full = Shown(entry).section(QChar(0x9C), 0, 0);
            const int needed = qCeil(QFontMetricsF(FontFor(entry.font)).horizontalAdvance(full));
            if (needed > box.width())
                box.setWidth(std::min(needed, (entry.roomTo - entry.left) / kTwipsPerPixel));
        }
        control->setGeometry(box);
        if (entry.font != FontRole::Form)
            control->setFont(FontFor(entry.font));
        // A text drawn in a shorter form is still named in full.
        const QString shown = Shown(entry);
        if (entry.accessibleName)
            control->setAccessibleName(FullText("accessible name", entry.accessibleName));
        else if (shown.contains(QChar(0x9C)))
            control->setAccessibleName(shown.left(shown.indexOf(QChar(0x9C))));
        if (*entry.description)
            control->setAccessibleDescription(Text("description", entry.description));
        if (control->focusPolicy() != Qt::NoFocus) {
            if (previous)
                setTabOrder(previous, control);
            previous = control;
        }
    }
    // Each caption names its control for assistive technology. The texts have no
    // mnemonics, so this moves no focus.
    for (const ControlSpec &entry : ControlTable())
        if (entry.captionOf && (!entry.probeOnly || HasProbe(edition_)))
            Find<QLabel>(this, entry.name)->setBuddy(Find<QWidget>(this, entry.captionOf));
    // The keyboard focus starts on the first control in tab order, the surface.
    auto *gra = Find<PlotSurface>(this, "gra");
    gra->setFocus();
    const QString empty = QString::fromStdString(EmptyPlotDescription() + " ") + Text("listen", kListenHint);
    gra->setAccessibleDescription(empty);
    gra->setToolTip(empty);
    gra->installEventFilter(this);
    buildActions();
}

} // namespace orvane
