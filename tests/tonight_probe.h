#pragma once

#include "tonight/tonight_filter.h"
#include "tonight/tonight_model.h"
#include "tonight/velto_tonight.h"
#include "ui_velto_tonight.h"

// Lets tests read the Tonight window's table and strip (label(x): velto_x_lab).
class TonightProbe
{
public:
    explicit TonightProbe(Velto_tonight &window) : window(window) {}

    QTableView &view() const { return *window.form->velto_objects_tbl; }
    QString label(const char *name) const
    {
        return window.findChild<QLabel *>(QStringLiteral("velto_%1_lab").arg(name))->text();
    }

private:
    Velto_tonight &window;
};
