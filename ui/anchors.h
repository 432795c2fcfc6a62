#pragma once

#include <QLayout>
#include <QList>
#include <QRect>
#include <QSize>

namespace norvale::ui {

// A layout for pixel-placed controls. Each widget has a rectangle drawn for
// a design size and the edges it is anchored to: when the area grows or
// shrinks, a widget keeps its distance to each anchored edge. Anchored to
// left and right it stretches across; to the right only it moves with the
// right edge; likewise for top and bottom.
class AnchorLayout : public QLayout {
    Q_OBJECT
public:
    AnchorLayout(QSize designSize, QSize minimumSize, QWidget *parent = nullptr);
    ~AnchorLayout() override;

    void addWidget(QWidget *widget, const QRect &design, Qt::Edges anchors);

    // Where a rectangle drawn for designSize lies in an area of the given size.
    static QRect place(const QRect &design, Qt::Edges anchors, QSize designSize, QSize size);

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

private:
    struct Entry {
        QLayoutItem *item;
        QRect design;
        Qt::Edges anchors;
    };
    QList<Entry> m_entries;
    QSize m_designSize;
    QSize m_minimumSize;
};

} // namespace norvale::ui
