#include "shell/alarm_row_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QPainter>

namespace hv::shell {

AlarmRowDelegate::AlarmRowDelegate(const QLabel& header, QObject* parent)
    : QStyledItemDelegate(parent)
{
    const QFontMetricsF metrics(header.font());
    const QString text = header.text();
    const qreal left = header.x() + header.contentsRect().left();
    for (qsizetype bar = text.indexOf(u'|'); bar >= 0; bar = text.indexOf(u'|', bar + 1)) {
        // Just past the mark, where the next heading's blanks begin; in the header's parent's
        // coordinates, which the list shares.
        m_tabs.append(QTextOption::Tab(left + metrics.horizontalAdvance(text.left(bar + 1)),
                                       QTextOption::LeftTab));
    }
}

void AlarmRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

    // Tab positions count from the left of the drawn text: take off where the row starts.
    const auto* view = qobject_cast<const QAbstractItemView*>(item.widget);
    const int rowLeft = view ? view->x() + view->viewport()->x() + item.rect.left() : 0;
    QList<QTextOption::Tab> tabs = m_tabs;
    for (QTextOption::Tab& tab : tabs)
        tab.position -= rowLeft;
    QTextOption layout;
    layout.setWrapMode(QTextOption::NoWrap);
    layout.setTabs(tabs);
    painter->save();
    painter->setFont(item.font);
    painter->setPen(item.palette.color(
        item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(QRectF(item.rect), text, layout);
    painter->restore();
}

} // namespace hv::shell
