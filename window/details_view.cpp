#include "window/details_view.h"

#include <algorithm>

#include <QGridLayout>
#include <QScreen>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "pattern/translation.h"

namespace orvane {

namespace {

// The rules' English texts in the current language.
QString Translated(const char *text)
{
    return QString::fromUtf8(Tr("details", text));
}

QLabel *SelectableLabel(QWidget *parent, const char *name, bool keyboard)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText); // figures are text, never markup
    label->setTextInteractionFlags(keyboard ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                            : Qt::TextSelectableByMouse);
    return label;
}

} // namespace

namespace {

constexpr int kGap = 8; // between the two windows' frames

// `frame` moved by the least that puts it within `available`, where it fits;
// its top left corner within it where it does not.
QPoint Within(const QRect &frame, const QRect &available)
{
    const int x = std::max(available.left(), std::min(frame.left(), available.right() + 1 - frame.width()));
    const int y = std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - frame.height()));
    return {x, y};
}

} // namespace

QPoint DetailsPosition(const QRect &window, const QSize &size, const QRect &available)
{
    int x = window.right() + 1 + kGap;
    if (x + size.width() > available.right() + 1) {
        x = window.left() - kGap - size.width();
        if (x < available.left())
            x = window.right() + 1 - size.width(); // over the window, flush with its right edge
    }
    return Within(QRect(QPoint(x, window.top()), size), available);
}

DetailsView::DetailsView(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setObjectName("DetailsView");
    setWindowTitle(Translated(kDetailsTitle));
    setAccessibleName(windowTitle());

    auto *layout = new QVBoxLayout(this);
    // The window fits what it shows: the kept column comes and goes.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    message_ = SelectableLabel(this, "DetailsMessage", true);
    message_->setWordWrap(true);
    message_->setText(Translated(kDetailsNoPattern));
    layout->addWidget(message_);
    // The pattern as an equation of its shares, above the figures.
    equation_ = SelectableLabel(this, "DetailsEquation", true);
    layout->addWidget(equation_);

    table_ = new QWidget(this);
    auto *grid = new QGridLayout(table_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    auto *figureHeading = new QLabel(Translated(kDetailsFigureHeading), table_);
    auto *currentHeading = new QLabel(Translated(kDetailsCurrentHeading), table_);
    keptHeading_ = new QLabel(Translated(kDetailsKeptHeading), table_);
    for (QLabel *heading : {figureHeading, currentHeading, keptHeading_}) {
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
    }
    grid->addWidget(figureHeading, 0, 0);
    grid->addWidget(currentHeading, 0, 1);
    grid->addWidget(keptHeading_, 0, 2);
    // Created row by row, so that the tab order and a screen reader go through
    // each figure's current value and then its kept one.
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const std::string key = kDetailRows[i].key;
        Row &row = rows_[i];
        row.label = SelectableLabel(table_, ("Label_" + key).c_str(), false);
        row.label->setText(Translated(kDetailRows[i].label));
        row.current = SelectableLabel(table_, ("Current_" + key).c_str(), true);
        row.kept = SelectableLabel(table_, ("Kept_" + key).c_str(), true);
        const int r = static_cast<int>(i) + 1;
        grid->addWidget(row.label, r, 0);
        grid->addWidget(row.current, r, 1);
        grid->addWidget(row.kept, r, 2);
    }
    layout->addWidget(table_);
}

void DetailsView::showFigures(const DetailsShown &figures)
{
    if (shown_ == figures)
        return;
    shown_ = figures;
    // No pattern and nothing to compare it with: the view says so instead.
    message_->setVisible(figures.empty);
    equation_->setVisible(!figures.empty);
    equation_->setText(QString::fromStdString(figures.equation));
    table_->setVisible(!figures.empty || figures.kept);
    keptHeading_->setVisible(figures.kept);
    for (std::size_t i = 0; i < rows_.size() && i < figures.rows.size(); ++i) {
        const Row &row = rows_[i];
        const QString label = row.label->text();
        const QString value = QString::fromStdString(figures.rows[i].current);
        row.current->setText(value);
        //: A figure's accessible name. %1: its name; %2: its value
        row.current->setAccessibleName(QString::fromUtf8(Tr("accessible name", "%1: %2")).arg(label, value));
        row.kept->setVisible(figures.kept);
        if (figures.kept) {
            const QString keptValue = QString::fromStdString(figures.rows[i].kept);
            row.kept->setText(keptValue);
            //: The kept pattern's figure, its accessible name. %1: the figure's name; %2: its value
            row.kept->setAccessibleName(QString::fromUtf8(Tr("accessible name", "%1, kept: %2")).arg(label, keptValue));
        }
    }
}

void DetailsView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    keepOnScreen();
}

void DetailsView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    keepOnScreen();
}

void DetailsView::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    emit closed();
}

void DetailsView::keepOnScreen()
{
    if (!isVisible() || !screen())
        return;
    const QRect frame = frameGeometry();
    const QPoint inside = Within(frame, screen()->availableGeometry());
    if (inside != frame.topLeft())
        move(inside);
}

void DetailsView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace orvane
