#pragma once

#include <QAbstractListModel>
#include <functional>

#include "framework/ListModel.h"

namespace qv {

// Shows a ListModel in a Qt view without copying it: rows are read on demand.
class ListAdapter : public QAbstractListModel, public ListObserver {
public:
    ListAdapter(ListModel& list, bool expandTabs, QObject* parent);
    ~ListAdapter() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void ListReset() override;
    void LinesAppended(size_t first, size_t count) override;
    void LineDeleted(size_t index) override;
    void SelectionChanged(int index) override;

    // Called when the model's selection changes, so the view can follow.
    std::function<void(int)> onSelectionChanged;
    // True while rows come and go: a current row the view moves meanwhile is its own choice,
    // not the user's (a view in single selection picks a neighbour of a removed row).
    bool ChangingRows() const { return changingRows; }

private:
    ListModel& list;
    bool expandTabs;
    int rows = 0;  // what the view has been told
    bool changingRows = false;
};

}  // namespace qv
