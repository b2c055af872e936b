#pragma once

#include "corr/corr_step.h"

#include <QFrame>

class Velto_Obj_List;

namespace Ui
{
class Velto_corr;
}

// The corrections window: the observer picks an hour-angle step (seconds of
// time) and a declination step (arcseconds) and nudges the tracking telescope
// with the 3 x 3 pad. Each press hands the two step texts to the main window,
// which sends them as one "AdCorr" command.
class Velto_corr : public QFrame
{
    Q_OBJECT

public:
    explicit Velto_corr(QWidget *parent = nullptr);
    ~Velto_corr() override;

    // The main window that sends the corrections; the pad does nothing until
    // it is set. Not owned.
    void set_main_window(Velto_Obj_List *w);
    // Sets the window title and the group box title in the current language.
    void retranslateUi();

private slots:
    void on_dha_rb1_clicked();
    void on_dha_rb2_clicked();
    void on_dha_rb3_clicked();
    void on_dha_rb4_clicked();
    void on_dha_rb5_clicked();
    void on_dha_rb6_clicked();
    void on_ddec_rb1_clicked();
    void on_ddec_rb2_clicked();
    void on_ddec_rb3_clicked();
    void on_ddec_rb4_clicked();
    void on_ddec_rb5_clicked();
    void on_ddec_rb6_clicked();
    void on_dha_slide_sliderMoved(int position);
    void on_dha_slide_valueChanged(int value);
    void on_ddec_slide_sliderMoved(int position);
    void on_ddec_slide_valueChanged(int value);
    void on_div_ha_stateChanged(int state);
    void on_add_ha_clicked();
    void on_sub_ha_clicked();
    void on_add_dec_clicked();
    void on_sub_dec_clicked();
    void on_add_ha_dec_clicked();
    void on_sub_ha_dec_clicked();
    void on_add_ha_sub_dec_clicked();
    void on_sub_ha_add_dec_clicked();

private:
    friend class CorrProbe; // tests read the form through it

    void set_ha_preset(int row);
    void set_dec_preset(int row);
    void send(Move ha, Move dec);

    Ui::Velto_corr *form;
    Velto_Obj_List *main_window = nullptr;
    bool divide = false; // "/cos(Dec)" ticked
};
