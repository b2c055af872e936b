#include "objlist/lst_line.h"
#include "objlist/velto_list.h"
#include "sky/velto_sky.h"
#include "tcs/text_line.h"
#include "ui_velto_list.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListWidgetItem>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

// .lst files are in the text encoding of the user's locale. Each row read
// from a file keeps the bytes it was read with beside its text, so saving
// writes back exactly what was read even where the bytes are not valid in
// that encoding; rows typed in the main window are encoded afresh.

namespace
{

constexpr int line_bytes_role = Qt::UserRole;

} // namespace

void Velto_list::append_line(const QByteArray &bytes, const QString &text)
{
    auto *object = new Velto_object;
    object->num = int(objects->size());
    const Lst_line line = parse_lst_line(text);
    if (line.is_object) {
        object->set_object(line.name, line.ra, line.dec, line.epoch);
        object->is_comment = false;
    }
    auto *item = new QListWidgetItem(text);
    item->setData(line_bytes_role, bytes);
    form->velto_obj_lst->addItem(item);
    objects->append(object);
}

bool Velto_list::read_file(const QString &path)
{
    // Binary mode: text mode would drop every '\r', also inside a line.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QStringDecoder decode(QStringConverter::System, QStringConverter::Flag::Stateless);
    while (!file.atEnd()) {
        const QByteArray bytes = without_line_end(file.readLine());
        append_line(bytes, decode(bytes));
    }
    if (sky)
        sky->list_changed();
    last_file = path;
    return true;
}

bool Velto_list::save_file(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QStringEncoder encode(QStringConverter::System, QStringConverter::Flag::Stateless);
    const QListWidget *list = form->velto_obj_lst;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem *item = list->item(row);
        const QVariant bytes = item->data(line_bytes_role);
        file.write(bytes.isValid() ? bytes.toByteArray() : QByteArray(encode(item->text())));
        file.write("\n", 1);
    }
    if (!file.commit())
        return false;
    last_file = path;
    return true;
}

void Velto_list::read_list()
{
    const QString dir = last_file.isNull() ? QDir::currentPath() : QString();
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Choose objects list file"), dir,
                                     QLatin1String(".lst(*.lst);;") + tr("All files(*.*)"));
    if (path.isNull())
        return;
    read_file(path);
}

void Velto_list::save_list()
{
    if (form->velto_obj_lst->count() == 0)
        return;
    QFileDialog dialog(this, QString(), QString(), QString());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral(".lst(*.lst)"), tr("All files(*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("lst"));
    if (!last_file.isNull())
        dialog.selectFile(last_file);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isNull())
        return;
    save_file(files.first());
}
