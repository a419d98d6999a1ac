// The window's menus and keys, all from the action table: the menu bar, the
// plot's context menu, the plot's letter keys and the list of keys in Help.
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalBlocker>

#include "pattern/translation.h"
#include "pattern/layout.h"
#include "window/main_window.h"
#include "window/plot_surface.h"

namespace orvane {

namespace {

QKeySequence KeyOf(const ActionEntry &item)
{
    switch (item.key) {
    case KeyKind::None: return {};
    case KeyKind::Letter: return QKeySequence(QChar(item.letter));
    case KeyKind::Copy: return QKeySequence(QKeySequence::Copy);
    case KeyKind::Save: return QKeySequence(QKeySequence::Save);
    case KeyKind::Print: return QKeySequence(QKeySequence::Print);
    }
    return {};
}

constexpr MenuId kMenus[] = {MenuId::File, MenuId::View, MenuId::Sound, MenuId::Help};

// The plot menu's own entry for an action of the menu bar: what it shows
// follows the action, and choosing it chooses the action. Its own object, as
// assistive technology knows an entry by its action: one action in two menus
// would be an entry of whichever menu was read first, at that one's place.
QAction *MirrorOf(QAction *action, QMenu *menu)
{
    auto *entry = new QAction(action->text(), menu);
    entry->setObjectName(action->objectName());
    entry->setCheckable(action->isCheckable());
    // The key is shown beside the entry; the window's action takes it.
    entry->setShortcut(action->shortcut());
    entry->setShortcutContext(Qt::WidgetShortcut);
    auto follow = [action, entry] {
        const QSignalBlocker quiet(entry);
        entry->setText(action->text());
        entry->setEnabled(action->isEnabled());
        entry->setChecked(action->isChecked());
    };
    follow();
    QObject::connect(action, &QAction::changed, entry, follow);
    QObject::connect(entry, &QAction::triggered, action, [action, follow] {
        action->trigger();
        follow(); // a chosen range stays chosen, as in the menu bar
    });
    return entry;
}

} // namespace

void OrvaneFrm::buildMenuBar()
{
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName("MenuBar");
    for (const MenuId id : kMenus)
        menuBar_->addMenu(QString::fromStdString(MenuText(id)))->setObjectName(
            QStringLiteral("Menu%1").arg(static_cast<int>(id)));
    clientTop_ = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, kClientWidth / kTwipsPerPixel, clientTop_);
}

QRect OrvaneFrm::clientArea() const
{
    return {0, clientTop_, width(), height() - clientTop_};
}

// Each entry is one QAction, in the menu bar's menu and in the plot's context
// menu alike. The platform's keys for copy, save and print work anywhere in
// the window, as the menu bar shows them. The letters are the window's own
// (keyPressEvent), shown beside the entries: no control here takes letters.
void OrvaneFrm::buildActions()
{
    auto *plotMenu = new QMenu(this);
    plotMenu->setObjectName("PlotMenu");
    const QList<QMenu *> menus = menuBar_->findChildren<QMenu *>(Qt::FindDirectChildrenOnly);
    for (const ActionEntry &item : ActionTable()) {
        if (!Shows(item, edition_))
            continue;
        auto *action = new QAction(QString::fromStdString(ActionText(item)), this);
        action->setObjectName(item.name);
        action->setShortcut(KeyOf(item));
        if (item.key != KeyKind::None && item.key != KeyKind::Letter) {
            action->setShortcutContext(Qt::WindowShortcut);
            addAction(action);
        } else {
            // Shown beside the entry only; the letter is taken below.
            action->setShortcutContext(Qt::WidgetShortcut);
        }
        if (item.checkable) {
            action->setCheckable(true);
            connect(action, &QAction::toggled, this, [this, &item](bool on) { Toggle(item.action, on); });
        } else {
            connect(action, &QAction::triggered, this, [this, &item] { Trigger(item.action); });
        }
        if (item.places & kMenuBar) {
            QMenu *menu = menus.value(static_cast<int>(item.menu));
            if (item.submenu) {
                // A submenu's switches exclude each other, as the radio buttons of a setting.
                const QString title = QString::fromStdString(SubmenuText(item));
                QMenu *sub = menu->findChild<QMenu *>(title);
                if (!sub) {
                    sub = menu->addMenu(title);
                    sub->setObjectName(title);
                    sub->menuAction()->setObjectName(title);
                    new QActionGroup(sub);
                }
                sub->findChild<QActionGroup *>()->addAction(action);
                menu = sub;
            } else if (item.separatorBefore && !menu->isEmpty()) {
                menu->addSeparator();
            }
            menu->addAction(action);
        }
        if (item.places & kPlotMenu) {
            QMenu *menu = plotMenu;
            QAction *entry = MirrorOf(action, plotMenu);
            if (item.submenu) {
                // The same submenu in the plot's menu, holding the same entries.
                const QString title = QString::fromStdString(SubmenuText(item));
                menu = plotMenu->findChild<QMenu *>(title);
                if (!menu) {
                    menu = plotMenu->addMenu(title);
                    menu->setObjectName(title);
                    menu->menuAction()->setObjectName(title);
                    new QActionGroup(menu);
                }
                menu->findChild<QActionGroup *>()->addAction(entry);
            } else if (item.separatorBefore) {
                plotMenu->addSeparator();
            }
            menu->addAction(entry);
        }
    }
    // Nothing kept, and nothing to keep on the blank plot.
    for (const char *name : {"ClearKeptAction", "KeepAction"})
        if (auto *action = findChild<QAction *>(name))
            action->setEnabled(false);
    showChecks();
}

// The switches of the view as the behaviour holds them: the datasheet view's,
// and its range's entry while it shows. Set without signals: they are no
// user's choice.
void OrvaneFrm::showChecks()
{
    const ViewSettings &view = behaviour_->view();
    for (const ActionEntry &item : ActionTable()) {
        if (!item.checkable || item.action == Action::ProbeSound)
            continue;
        // The menu bar's entry and the plot menu's alike.
        for (QAction *action : findChildren<QAction *>(item.name)) {
            const QSignalBlocker quiet(action);
            action->setChecked(item.action == Action::DatasheetView ? view.view == PlotView::Db
                                                                     : view.view == PlotView::Db && item.value == view.rangeDb);
        }
    }
}

// One of the action table's entries, chosen from a menu or by its key.
void OrvaneFrm::Trigger(Action action)
{
    const ActionEntry &item = EntryOf(action);
    const std::string source(Tr("menu", item.text));
    Dispatch(source, [this, action] {
        switch (action) {
        case Action::Listen: Listen(); break;
        case Action::CopyImage: CopyImage(); break;
        case Action::SaveImage: SaveImage(); break;
        case Action::Print: PrintImage(); break;
        case Action::Details: ShowDetails(); break;
        case Action::Keep: behaviour_->Keep(); break;
        case Action::ClearKept: behaviour_->ClearKept(); break;
        case Action::Keys: ShowKeys(); break;
        case Action::ProbeSound: // switches: see Toggle
        case Action::DatasheetView:
        case Action::Range20:
        case Action::Range30:
        case Action::Range40: break;
        }
    }, item.errorFormat);
}

// A switch of the action table turned on or off.
void OrvaneFrm::Toggle(Action action, bool on)
{
    const ActionEntry &item = EntryOf(action);
    switch (action) {
    case Action::ProbeSound: probeSound_ = on; return;
    case Action::DatasheetView:
        Dispatch(ActionText(item), [this] { behaviour_->ToggleView(); });
        break;
    case Action::Range20:
    case Action::Range30:
    case Action::Range40:
        // The entry the group unchecks says nothing; the one chosen is the range.
        if (on)
            Dispatch(ActionText(item), [this, &item] { behaviour_->SetRange(item.value); });
        break;
    default: break;
    }
    showChecks(); // where a switch failed, it shows what holds
}

// The keys beside the actions, as the menus show them, in a box that lets the
// window go on.
void OrvaneFrm::ShowKeys()
{
    QString rows;
    for (const ActionEntry &item : ActionTable())
        if (Shows(item, edition_) && item.key != KeyKind::None)
            rows += QStringLiteral("<tr><td>%1</td><td>&nbsp;&nbsp;%2</td></tr>")
                        .arg(KeyOf(item).toString(QKeySequence::NativeText).toHtmlEscaped(),
                             QString::fromUtf8(Tr("menu", item.text)).toHtmlEscaped());
    const QString title = QString::fromUtf8(Tr("menu", EntryOf(Action::Keys).text));
    auto *box = new QMessageBox(QMessageBox::Information, title,
                                QStringLiteral("<p>%1</p><table>%2</table>")
                                    .arg(QString::fromStdString(KeysHeading()).toHtmlEscaped(), rows),
                                QMessageBox::Ok, this);
    box->setObjectName("KeysBox");
    box->setTextFormat(Qt::RichText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// A letter reaches the window when the control with the focus has no use for
// it: the plot, a button, a slider alike. A control that took letters (a text
// field) would keep them.
void OrvaneFrm::keyPressEvent(QKeyEvent *key)
{
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool plain = mods == Qt::NoModifier || mods == Qt::ShiftModifier;
    for (const ActionEntry &item : ActionTable()) {
        if (item.key != KeyKind::Letter || key->key() != item.letter || !plain || !Shows(item, edition_))
            continue;
        // The menu's own entry, as a click on it: a switch turns over.
        if (!key->isAutoRepeat())
            findChild<QAction *>(item.name)->trigger();
        return;
    }
    QWidget::keyPressEvent(key);
}

bool OrvaneFrm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched->objectName() != QLatin1String("gra"))
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ContextMenu) {
        auto *menu = findChild<QMenu *>("PlotMenu", Qt::FindDirectChildrenOnly);
        if (menu)
            menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orvane
