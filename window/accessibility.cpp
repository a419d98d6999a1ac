#include "window/accessibility.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include "pattern/pattern_description.h"
#include "pattern/plot_driver.h"
#include "window/details_view.h"
#include "window/main_window.h"
#include "window/pair_view.h"
#include "window/plot_surface.h"

namespace orvane {

namespace {

bool IsLevelSlider(const QObject *slider)
{
    const QString name = slider->objectName();
    return name == QLatin1String("Slider1") || name == QLatin1String("Slider2");
}

// A level slider's value is the component's level in dB, as its readout shows it,
// so a screen reader speaks "-3.06" where the inverted position would say 30.
// Two decimals are the finest step, which is what a screen reader rounds to.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(QAbstractSlider *slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value) {
            if (auto *pair = qobject_cast<PairSlider *>(slider()); pair && !pair->spoken().isEmpty())
                return pair->spoken();
            const double value = currentValue().toDouble();
            return QString::fromStdString(IsLevelSlider(slider()) ? SpokenNumber(value, ".")
                                                                   : std::to_string(slider()->value()));
        }
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return valueAt(slider()->value()); }
    QVariant maximumValue() const override { return valueAt(level() ? slider()->minimum() : slider()->maximum()); }
    QVariant minimumValue() const override { return valueAt(level() ? slider()->maximum() : slider()->minimum()); }
    QVariant minimumStepSize() const override { return level() ? 0.01 : 1.0; }

    // Moves the thumb as a drag does: the slider reports the move as a user's
    // action first, so the window's handler runs, then takes the value.
    void setCurrentValue(const QVariant &value) override
    {
        bool ok = false;
        const double wanted = value.toDouble(&ok);
        if (!ok || !std::isfinite(wanted))
            return;
        QAbstractSlider *s = slider();
        const int position = level() ? PositionForLevel(wanted)
                                     : static_cast<int>(std::lround(std::clamp(
                                           wanted, double(s->minimum()), double(s->maximum()))));
        s->setSliderPosition(position);
    }

private:
    QAbstractSlider *slider() const { return static_cast<QAbstractSlider *>(widget()); }
    bool level() const { return IsLevelSlider(slider()); }

    QVariant valueAt(int position) const
    {
        if (!level())
            return position;
        try {
            return ReadoutLevel(position);
        } catch (const std::exception &) { // a position the level rule does not take
            return std::numeric_limits<double>::quiet_NaN();
        }
    }
};

// A readout is named by its text exactly, as it stands, also when it is empty: a
// plain label with no text would take the name of the caption that names it, and
// a screen reader would read the caption twice.
class ReadoutAccessible : public QAccessibleWidget {
public:
    explicit ReadoutAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name)
            return static_cast<QLabel *>(widget())->text();
        return QAccessibleWidget::text(type);
    }
};

// The announcer as assistive technology sees it: a notification whose name is
// the text to say. It lies nowhere on the screen and is no child of the window.
class AnnouncementAccessible : public QAccessibleInterface {
public:
    explicit AnnouncementAccessible(Announcer *announcer) : announcer_(announcer) {}

    bool isValid() const override { return announcer_ != nullptr; }
    QObject *object() const override { return announcer_; }
    QWindow *window() const override
    {
        auto *owner = qobject_cast<QWidget *>(announcer_->parent());
        return owner ? owner->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface *parent() const override
    {
        return announcer_->parent() ? QAccessible::queryAccessibleInterface(announcer_->parent()) : nullptr;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Name ? announcer_->text() : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }

private:
    Announcer *announcer_;
};

// The window, with the plot's context menu among its children while it is
// open: a popup is no child widget of the window, and Qt lists no popup among
// the application's windows, so assistive technology would find the open menu
// nowhere. Its entries are its own children, at their places on the screen.
class FrameAccessible : public QAccessibleWidget {
public:
    explicit FrameAccessible(QWidget *window) : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override { return QAccessibleWidget::childCount() + (openMenu() ? 1 : 0); }
    QAccessibleInterface *child(int index) const override
    {
        if (QWidget *menu = openMenu(); menu && index == QAccessibleWidget::childCount())
            return QAccessible::queryAccessibleInterface(menu);
        return QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (QWidget *menu = openMenu(); menu && child && child->object() == menu)
            return QAccessibleWidget::childCount();
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    QWidget *openMenu() const
    {
        auto *menu = widget()->findChild<QWidget *>(QStringLiteral("PlotMenu"), Qt::FindDirectChildrenOnly);
        return menu && menu->isVisible() ? menu : nullptr;
    }
};

} // namespace

void Announcer::announce(const QString &text)
{
    text_ = text;
    if (!QAccessible::isActive() || pending_)
        return;
    // Raised once the event that caused it is done: a slider takes its new value
    // after its handler ran, and a screen reader that speaks the value would cut
    // off an announcement made before. Several announcements in one event make
    // one, the last.
    pending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            pending_ = false;
            QAccessibleEvent shown(this, QAccessible::ObjectShow);
            QAccessible::updateAccessibility(&shown);
        },
        Qt::QueuedConnection);
}

QAccessibleInterface *WindowAccessible(const QString &className, QObject *object)
{
    // The class names of Qt's own widgets go to Qt's factory first; these classes
    // are ours, so their names come to this factory before.
    if (auto *announcer = dynamic_cast<Announcer *>(object))
        return new AnnouncementAccessible(announcer);
    if (!object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    // A plain top-level widget would read as a "filler", and the plot's sunken
    // frame as a second window.
    if (className == QLatin1String(OrvaneFrm::staticMetaObject.className()))
        return new FrameAccessible(widget);
    // The tool windows read as windows too, not as fillers.
    if (className == QLatin1String(PairView::staticMetaObject.className()) ||
        className == QLatin1String(DetailsView::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == QLatin1String(PlotSurface::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    if (className == QLatin1String(ValueSlider::staticMetaObject.className()) ||
        className == QLatin1String(PairSlider::staticMetaObject.className()))
        return new SliderAccessible(static_cast<ValueSlider *>(widget));
    if (className == QLatin1String(Readout::staticMetaObject.className()))
        return new ReadoutAccessible(static_cast<Readout *>(widget));
    return nullptr;
}

} // namespace orvane
