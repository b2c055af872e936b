#pragma once

#include "corr/velto_corr.h"
#include "ui_velto_corr.h"

// Lets tests read the corrections window's form and state.
class CorrProbe
{
public:
    explicit CorrProbe(Velto_corr &window) : window(window) {}

    Ui::Velto_corr &form() const { return *window.form; }

private:
    Velto_corr &window;
};
