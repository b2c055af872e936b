#include "app/eye_icon.h"

#include <QPixmap>

namespace
{

const char *const eye_xpm[] = {
    "20 14 13 1",           "c c #a6a6a6",          "j c #acacac",          "f c #b1b1b1",
    "b c #b2b2b2",          "d c #b7b7b7",          "a c #c8c8c8",          "i c #cdcdcd",
    "g c #dedede",          "h c #e3e3e3",          "# c #e9e9e9",          "e c #eeeeee",
    "k c #fafafa",          ". c #ffffff",          "....................", "....................",
    "......#abccda#......", "....edccfaafccde....", "...gccca....acccg...", "..hcccf.#bb#.fccch..",
    "..fccci.fccb.acccb..", "..fccci.jccf.acccf..", "..hcccb.#ff#kbccch..", "...gccca....acccg...",
    "....edccbaabccde....", "......#adccda#......", "....................", "....................",
};

} // namespace

QIcon eye_icon()
{
    return QIcon(QPixmap(eye_xpm));
}
