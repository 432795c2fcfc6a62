#include "anchors.h"

#include <QWidget>

namespace norvale::ui {

AnchorLayout::AnchorLayout(QSize designSize, QSize minimumSize, QWidget *parent)
    : QLayout(parent), m_designSize(designSize), m_minimumSize(minimumSize)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

AnchorLayout::~AnchorLayout()
{
    for (const Entry &e : std::as_const(m_entries))
        delete e.item;
}

void AnchorLayout::addWidget(QWidget *widget, const QRect &design, Qt::Edges anchors)
{
    addChildWidget(widget);
    m_entries.append({new QWidgetItem(widget), design, anchors});
    invalidate();
}

QRect AnchorLayout::place(const QRect &design, Qt::Edges anchors, QSize designSize, QSize size)
{
    const int dx = size.width() - designSize.width();
    const int dy = size.height() - designSize.height();
    QRect r = design;
    if (anchors.testFlag(Qt::RightEdge)) {
        if (anchors.testFlag(Qt::LeftEdge))
            r.setWidth(r.width() + dx);
        else
            r.translate(dx, 0);
    }
    if (anchors.testFlag(Qt::BottomEdge)) {
        if (anchors.testFlag(Qt::TopEdge))
            r.setHeight(r.height() + dy);
        else
            r.translate(0, dy);
    }
    return r;
}

void AnchorLayout::addItem(QLayoutItem *item)
{
    // Items added without a design rectangle keep the place they have.
    const QRect at = item->widget() ? item->widget()->geometry() : item->geometry();
    m_entries.append({item, at, Qt::LeftEdge | Qt::TopEdge});
    invalidate();
}

int AnchorLayout::count() const { return int(m_entries.size()); }

QLayoutItem *AnchorLayout::itemAt(int index) const
{
    return index >= 0 && index < m_entries.size() ? m_entries.at(index).item : nullptr;
}

QLayoutItem *AnchorLayout::takeAt(int index)
{
    if (index < 0 || index >= m_entries.size())
        return nullptr;
    QLayoutItem *item = m_entries.takeAt(index).item;
    invalidate();
    return item;
}

QSize AnchorLayout::sizeHint() const { return m_designSize; }

QSize AnchorLayout::minimumSize() const { return m_minimumSize; }

void AnchorLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    // Where a window system lets the area get smaller than its minimum, the
    // controls keep the minimum's places and are cut off rather than overlap.
    const QSize size = rect.size().expandedTo(m_minimumSize);
    for (const Entry &e : std::as_const(m_entries)) {
        const QRect r = place(e.design, e.anchors, m_designSize, size).translated(rect.topLeft());
        // Widgets are placed directly: the pixel rectangle wins over the
        // widget's own size hint.
        if (QWidget *w = e.item->widget())
            w->setGeometry(r);
        else
            e.item->setGeometry(r);
    }
}

} // namespace norvale::ui
