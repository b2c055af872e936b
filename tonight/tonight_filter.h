#pragma once

#include <QSortFilterProxyModel>

// The rows of the Tonight table that are shown: the objects of the list (no
// comment rows), only those up now when asked, sorted by the number behind
// each column rather than by its text.
class Velto_tonight_filter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit Velto_tonight_filter(QObject *parent = nullptr);
    void set_only_up(bool only_up);

protected:
    bool filterAcceptsRow(int source_row, const QModelIndex &source_parent) const override;

private:
    bool only_up = false;
};
