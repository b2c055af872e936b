#include "tonight/tonight_filter.h"

#include "tonight/tonight_model.h"

Velto_tonight_filter::Velto_tonight_filter(QObject *parent) : QSortFilterProxyModel(parent)
{
    setSortRole(Velto_tonight_model::SortRole);
    setDynamicSortFilter(true);
}

void Velto_tonight_filter::set_only_up(bool only)
{
    only_up = only;
    invalidateFilter();
}

bool Velto_tonight_filter::filterAcceptsRow(int source_row, const QModelIndex &source_parent) const
{
    const QModelIndex first = sourceModel()->index(source_row, 0, source_parent);
    if (!first.data(Velto_tonight_model::ObjectRole).toBool())
        return false;
    return !only_up || first.data(Velto_tonight_model::UpRole).toBool();
}
