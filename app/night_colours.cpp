#include "app/night_colours.h"

#include "app/night_pictures.h"

#include <QApplication>
#include <QFont>
#include <QToolTip>
#include <QVariant>
#include <QWidget>

namespace
{

bool night = false;
// What the program showed before the night colours, given back when they end.
struct DayLooks {
    QPalette palette;
    QPalette tooltip_palette;
    bool native_dialogs = false;
};

DayLooks &day_looks()
{
    static DayLooks looks;
    return looks;
}

const char day_colours_key[] = "velto_day_colours";
const char day_font_key[] = "velto_day_font";

QColor red(int r, int g = 0, int b = 0)
{
    return QColor(r, g, b);
}

struct NightLabelLook {
    QColor text;
    QColor background;
    bool underline = false;
    bool overline = false;
};

struct NamedLook {
    const char *text;       // day text colour
    const char *background; // day background colour
    NightLabelLook look;
};

// Every day look of the state, mode and connection labels. Texts stay at
// least 3 times brighter or darker than their background.
const NamedLook named_looks[] = {
    // Unknown, Off, another mode: the plain night text.
    {"Black", "Lightgray", {red(0xc8), red(0), false, false}},
    // On, Track: brighter, underlined.
    {"Blue", "LightGreen", {red(0xff, 0x40, 0x40), red(0), true, false}},
    // Stop: inverted.
    {"Blue", "Yellow", {red(0), red(0xd8), false, false}},
    // Slew: light on dark red.
    {"White", "Blue", {red(0xff, 0x60, 0x60), red(0x50), false, false}},
    // Moving: light on dark red, underlined.
    {"Blue", "LightCyan", {red(0xff, 0x60, 0x60), red(0x50), true, false}},
    // Any other state: inverted, brighter, lined above and below.
    {"Red", "Yellow", {red(0), red(0xff, 0x50, 0x50), true, true}},
    // Simulator: inverted, brightest.
    {"White", "Pink", {red(0), red(0xff, 0x70, 0x70), false, false}},
    // Hardware: brighter, overlined.
    {"Blue", "Cyan", {red(0xff, 0x40, 0x40), red(0), false, true}},
};

struct SheetPair {
    const char *day;
    const char *night;
};

// The command buttons' text colours: enabled and disabled.
const SheetPair sheets[] = {
    {"color: black;", "color: #ff4848;"},
    {"color: gray;", "color: #c00000;"},
};

NightLabelLook night_label_look(const QString &text_colour, const QString &background)
{
    for (const NamedLook &named : named_looks)
        if (text_colour.compare(QLatin1String(named.text), Qt::CaseInsensitive) == 0 &&
            background.compare(QLatin1String(named.background), Qt::CaseInsensitive) == 0)
            return named.look;
    return named_looks[0].look;
}

} // namespace

QPalette night_palette()
{
    QPalette palette;
    const struct {
        QPalette::ColorRole role;
        QColor active;   // also inactive
        QColor disabled; // still readable: only a little dimmer
    } roles[] = {
        {QPalette::Window, red(0), red(0)},
        {QPalette::WindowText, red(0xe0), red(0xc0)},
        {QPalette::Base, red(0x0a), red(0x0a)},
        {QPalette::AlternateBase, red(0x18), red(0x18)},
        {QPalette::Text, red(0xe0), red(0xc0)},
        {QPalette::PlaceholderText, red(0xc0), red(0xc0)},
        {QPalette::Button, red(0x14), red(0)},
        {QPalette::ButtonText, red(0xe0), red(0xc0)},
        {QPalette::BrightText, red(0xff, 0x60, 0x60), red(0xff, 0x60, 0x60)},
        {QPalette::Light, red(0x50), red(0x50)},
        {QPalette::Midlight, red(0x30), red(0x30)},
        {QPalette::Mid, red(0x28), red(0x28)},
        {QPalette::Dark, red(0x18), red(0x18)},
        {QPalette::Shadow, red(0), red(0)},
        {QPalette::Highlight, red(0x70), red(0x30)},
        {QPalette::HighlightedText, red(0xff, 0x60, 0x60), red(0xd0)},
        {QPalette::ToolTipBase, red(0x20), red(0x20)},
        {QPalette::ToolTipText, red(0xe0), red(0xe0)},
        {QPalette::Link, red(0xff, 0x50, 0x50), red(0xc0)},
        {QPalette::LinkVisited, red(0xe0, 0x40, 0x40), red(0xc0)},
    };
    for (const auto &r : roles) {
        palette.setColor(QPalette::Active, r.role, r.active);
        palette.setColor(QPalette::Inactive, r.role, r.active);
        palette.setColor(QPalette::Disabled, r.role, r.disabled);
    }
    return palette;
}

void set_night_colours(bool on)
{
    if (on == night)
        return;
    night = on;
    if (on) {
        day_looks() = {QApplication::palette(), QToolTip::palette(),
                       QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs)};
        // A desktop's own file dialog cannot be coloured: Qt's own is used.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
        QApplication::setPalette(night_palette());
        // The style fills round and square marks with the field colour and
        // frames them a little darker than the window: on black they would
        // vanish, so they are filled in a dark red.
        QPalette marks = night_palette();
        marks.setColor(QPalette::Base, red(0x48));
        for (const char *with_marks : {"QRadioButton", "QCheckBox"})
            QApplication::setPalette(marks, with_marks);
        QToolTip::setPalette(night_palette());
        show_box_pictures_in_reds(true);
        return;
    }
    show_box_pictures_in_reds(false);
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, day_looks().native_dialogs);
    QApplication::setPalette(day_looks().palette);
    QToolTip::setPalette(day_looks().tooltip_palette);
}

bool night_colours_on()
{
    return night;
}

bool show_night_label_look(QWidget *label, const QString &text_colour, const QString &background)
{
    label->setProperty(day_colours_key, QStringList{text_colour, background});
    const QVariant day_font = label->property(day_font_key);
    if (!night) {
        if (day_font.isValid()) {
            label->setFont(day_font.value<QFont>());
            label->setProperty(day_font_key, QVariant());
        }
        return false;
    }
    if (!day_font.isValid())
        label->setProperty(day_font_key, label->font());
    const NightLabelLook look = night_label_look(text_colour, background);
    QFont font = label->property(day_font_key).value<QFont>();
    font.setUnderline(look.underline);
    font.setOverline(look.overline);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, look.text);
    palette.setColor(QPalette::Window, look.background);
    label->setPalette(palette);
    return true;
}

QStringList day_label_colours(const QWidget *label)
{
    return label->property(day_colours_key).toStringList();
}

QString sheet_in_shown_colours(const QString &sheet)
{
    for (const SheetPair &pair : sheets)
        if (sheet == QLatin1String(pair.day) || sheet == QLatin1String(pair.night))
            return QLatin1String(night ? pair.night : pair.day);
    return sheet;
}
