#pragma once

#include "corr/corr_step.h"

#include <QFrame>

class Velto_object;

namespace Ui
{
class Velto_corr;
}

// The corrections window: the observer picks an hour-angle step (seconds of
// time) and a declination step (arcseconds) and nudges the tracking telescope
// with the 3 x 3 pad. Each press announces the two step texts with
// correction(); the main window sends them as one "AdCorr" command.
class Velto_corr : public QFrame
{
    Q_OBJECT

public:
    explicit Velto_corr(QWidget *parent = nullptr);
    ~Velto_corr() override;

    // The main window, which is itself the object the TCS reports: its
    // declination divides the hour-angle step. The pad does nothing until it
    // is set. Not owned.
    void set_main_window(const Velto_object *w);
    // Sets the window title and the group box title in the current language.
    void retranslateUi();

signals:
    // One press of the pad: the hour-angle step in seconds of time and the
    // declination step in arcseconds, as the TCS receives them. An empty text
    // is a step the window refused.
    void correction(const QString &dHA, const QString &dDec);

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
    const Velto_object *main_window = nullptr;
    bool divide = false; // "/cos(Dec)" ticked
};
