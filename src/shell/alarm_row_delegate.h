#pragma once

#include <QList>
#include <QStyledItemDelegate>
#include <QTextOption>

class QLabel;

namespace hv::shell {

// Draws the alarm list's rows, whose fields are separated by tabs, with a tab stop under each
// column of the header label, so that every field stands under its heading.
class AlarmRowDelegate final : public QStyledItemDelegate
{
public:
    // The stops are taken from the header's "|" marks, measured in the header's own font.
    AlarmRowDelegate(const QLabel& header, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    QList<QTextOption::Tab> m_tabs;
};

} // namespace hv::shell
