#include "app/night_pictures.h"

#include "app/night_colours.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

namespace
{

// Icons without sizes of their own (drawn ones) are made at these sizes.
const QSize drawn_sizes[] = {{16, 16}, {22, 22}, {32, 32}, {48, 48}};

// Files, folders and drives in reds.
class RedFileIcons : public QFileIconProvider
{
public:
    QIcon icon(IconType type) const override
    {
        return icon_in_shown_colours(QFileIconProvider::icon(type));
    }
    QIcon icon(const QFileInfo &info) const override
    {
        return icon_in_shown_colours(QFileIconProvider::icon(info));
    }
};

class BoxPictures : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        if (qobject_cast<QMessageBox *>(watched)) {
            if (auto *icon = watched->findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label")))
                icon->setPixmap(
                    QPixmap::fromImage(image_in_shown_colours(icon->pixmap().toImage())));
        } else if (auto *dialog = qobject_cast<QFileDialog *>(watched)) {
            dialog->setIconProvider(&file_icons);
            for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
                button->setIcon(icon_in_shown_colours(button->icon()));
        }
        return false;
    }

private:
    RedFileIcons file_icons;
};

QPointer<BoxPictures> &box_pictures()
{
    static QPointer<BoxPictures> pictures;
    return pictures;
}

} // namespace

QImage image_in_shown_colours(const QImage &image)
{
    if (!night_colours_on() || image.isNull())
        return image;
    QImage reds = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < reds.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(reds.scanLine(y));
        for (int x = 0; x < reds.width(); ++x)
            line[x] = qRgba(qGray(line[x]) * 0xe0 / 0xff, 0, 0, qAlpha(line[x]));
    }
    return reds;
}

QIcon icon_in_shown_colours(const QIcon &icon)
{
    if (!night_colours_on() || icon.isNull())
        return icon;
    QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty())
        sizes = {std::begin(drawn_sizes), std::end(drawn_sizes)};
    QIcon reds;
    for (const QSize &size : sizes)
        reds.addPixmap(QPixmap::fromImage(image_in_shown_colours(icon.pixmap(size).toImage())));
    return reds;
}

void show_box_pictures_in_reds(bool on)
{
    if (!on) {
        qApp->removeEventFilter(box_pictures());
        return;
    }
    if (!box_pictures())
        box_pictures() = new BoxPictures(qApp);
    qApp->installEventFilter(box_pictures());
}
