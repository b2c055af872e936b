#include "corr/velto_corr.h"

#include "coords/velto_object.h"
#include "ui_velto_corr.h"

#include <array>

namespace
{

// The six presets of each row, pairwise the same angle at 15 arcseconds per
// second of time.
const std::array<const char *, 6> ha_presets = {"1.0", "0.5", "0.2", "0.08", "0.04", "0.02"};
const std::array<const char *, 6> dec_presets = {"15.0", "7.5", "3.0", "1.2", "0.6", "0.3"};

} // namespace

Velto_corr::Velto_corr(QWidget *parent) : QFrame(parent), form(new Ui::Velto_corr)
{
    form->setupUi(this);
}

Velto_corr::~Velto_corr()
{
    delete form;
}

void Velto_corr::set_main_window(const Velto_object *w)
{
    main_window = w;
}

void Velto_corr::retranslateUi()
{
    form->retranslateUi(this);
}

void Velto_corr::set_ha_preset(int row)
{
    form->dha_val->setText(QLatin1String(ha_presets[static_cast<size_t>(row - 1)]));
}

void Velto_corr::set_dec_preset(int row)
{
    form->ddec_val->setText(QLatin1String(dec_presets[static_cast<size_t>(row - 1)]));
}

void Velto_corr::on_dha_rb1_clicked()
{
    set_ha_preset(1);
}
void Velto_corr::on_dha_rb2_clicked()
{
    set_ha_preset(2);
}
void Velto_corr::on_dha_rb3_clicked()
{
    set_ha_preset(3);
}
void Velto_corr::on_dha_rb4_clicked()
{
    set_ha_preset(4);
}
void Velto_corr::on_dha_rb5_clicked()
{
    set_ha_preset(5);
}
void Velto_corr::on_dha_rb6_clicked()
{
    set_ha_preset(6);
}
void Velto_corr::on_ddec_rb1_clicked()
{
    set_dec_preset(1);
}
void Velto_corr::on_ddec_rb2_clicked()
{
    set_dec_preset(2);
}
void Velto_corr::on_ddec_rb3_clicked()
{
    set_dec_preset(3);
}
void Velto_corr::on_ddec_rb4_clicked()
{
    set_dec_preset(4);
}
void Velto_corr::on_ddec_rb5_clicked()
{
    set_dec_preset(5);
}
void Velto_corr::on_ddec_rb6_clicked()
{
    set_dec_preset(6);
}

// Dragging and every other change of the slider write the same text.
void Velto_corr::on_dha_slide_sliderMoved(int position)
{
    form->dha_val->setText(ha_slider_text(position));
}
void Velto_corr::on_dha_slide_valueChanged(int value)
{
    form->dha_val->setText(ha_slider_text(value));
}
void Velto_corr::on_ddec_slide_sliderMoved(int position)
{
    form->ddec_val->setText(dec_slider_text(position));
}
void Velto_corr::on_ddec_slide_valueChanged(int value)
{
    form->ddec_val->setText(dec_slider_text(value));
}

void Velto_corr::on_div_ha_stateChanged(int state)
{
    divide = state != Qt::Unchecked;
}

void Velto_corr::on_add_ha_clicked()
{
    send(Move::Plus, Move::None);
}
void Velto_corr::on_sub_ha_clicked()
{
    send(Move::Minus, Move::None);
}
void Velto_corr::on_add_dec_clicked()
{
    send(Move::None, Move::Plus);
}
void Velto_corr::on_sub_dec_clicked()
{
    send(Move::None, Move::Minus);
}
void Velto_corr::on_add_ha_dec_clicked()
{
    send(Move::Plus, Move::Plus);
}
void Velto_corr::on_sub_ha_dec_clicked()
{
    send(Move::Minus, Move::Minus);
}
void Velto_corr::on_add_ha_sub_dec_clicked()
{
    send(Move::Plus, Move::Minus);
}
void Velto_corr::on_sub_ha_add_dec_clicked()
{
    send(Move::Minus, Move::Plus);
}

void Velto_corr::send(Move ha, Move dec)
{
    if (!main_window)
        return;
    // The main window is itself the object the TCS reports: its declination
    // is the telescope's, 0 before the first state reply.
    emit correction(ha_step_text(form->dha_val->text(), ha, divide, main_window->dec_sec),
                    dec_step_text(form->ddec_val->text(), dec));
}
