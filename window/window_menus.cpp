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
#include "window/figure.h"
#include "window/lazy_icon_style.h"
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
    // Before the bar, which asks the style for its extension button's icon.
    LazyIconStyle::install();
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
        action->setCheckable(item.checkable);
        connect(action, &QAction::triggered, this, [this, &item](bool on) { Trigger(item.action, !item.checkable || on); });
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
}

// The entries as the behaviour holds them: whether each is offered, and a
// switch's state. No user's choice: the entries answer `triggered` alone,
// which setting them does not send; the plot menu's entries follow `changed`.
void OrvaneFrm::showActions(const Snapshot &shown)
{
    for (const ActionShown &entry : shown.actions) {
        const ActionEntry &item = EntryOf(entry.action);
        // The menu bar's entry; the plot menu's follows it.
        auto *action = findChild<QAction *>(item.name, Qt::FindDirectChildrenOnly);
        if (!action)
            continue;
        if (action->isEnabled() != entry.enabled)
            action->setEnabled(entry.enabled);
        if (item.checkable && action->isChecked() != entry.checked)
            action->setChecked(entry.checked);
    }
}

// One of the action table's entries, chosen from a menu or by its key; a
// switch turned to `on`. What only the window can do runs inside the action.
void OrvaneFrm::Trigger(Action action, bool on)
{
    std::function<void()> faceWork;
    switch (action) {
    case Action::CopyImage: faceWork = [this] { CopyImage(shownFigure()); }; break;
    case Action::SaveImage: faceWork = [this] { SaveImage(shownFigure()); }; break;
    case Action::Print: faceWork = [this] { PrintImage(shownFigure()); }; break;
    case Action::Keys: faceWork = [this] { ShowKeys(); }; break;
    default: break;
    }
    act(UserAction::Chosen(action, on), faceWork);
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
