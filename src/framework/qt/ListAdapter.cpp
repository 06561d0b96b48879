#include "framework/qt/ListAdapter.h"

#include "framework/qt/QtText.h"

namespace qv {

ListAdapter::ListAdapter(ListModel& list, bool expandTabs, QObject* parent)
    : QAbstractListModel(parent),
      list(list),
      expandTabs(expandTabs),
      rows(static_cast<int>(list.Count())) {
    list.SetObserver(this);
}

ListAdapter::~ListAdapter() {
    list.SetObserver(nullptr);
}

int ListAdapter::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows;
}

QVariant ListAdapter::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows ||
        static_cast<size_t>(index.row()) >= list.Count()) {
        return {};
    }
    QString text = ToQt(list.Line(static_cast<size_t>(index.row())));
    if (expandTabs && text.contains(QLatin1Char('\t'))) {
        // A list box's default tab stops: every 8 average characters.
        QString expanded;
        for (QChar c : text) {
            if (c == QLatin1Char('\t')) {
                expanded += QString(8 - expanded.size() % 8, QLatin1Char(' '));
            } else {
                expanded += c;
            }
        }
        return expanded;
    }
    return text;
}

void ListAdapter::ListReset() {
    changingRows = true;
    beginResetModel();
    rows = static_cast<int>(list.Count());
    endResetModel();
    changingRows = false;
}

void ListAdapter::LinesAppended(size_t first, size_t count) {
    if (count == 0) {
        return;
    }
    changingRows = true;
    beginInsertRows(QModelIndex(), static_cast<int>(first), static_cast<int>(first + count - 1));
    rows = static_cast<int>(list.Count());
    endInsertRows();
    changingRows = false;
}

void ListAdapter::LineDeleted(size_t index) {
    changingRows = true;
    beginRemoveRows(QModelIndex(), static_cast<int>(index), static_cast<int>(index));
    rows = static_cast<int>(list.Count());
    endRemoveRows();
    changingRows = false;
}

void ListAdapter::SelectionChanged(int index) {
    if (onSelectionChanged) {
        onSelectionChanged(index);
    }
}

}  // namespace qv
