#include "coords/log_line.h"
#include "coords/night_log.h"
#include "objlist/list_row.h"
#include "objlist/lst_line.h"
#include "objlist/velto_list.h"
#include "sky/velto_sky.h"
#include "tcs/text_line.h"
#include "ui_velto_list.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSaveFile>
#include <QStringDecoder>

// .lst files are in the text encoding of the user's locale. Each row read
// from a file keeps the bytes it was read with (see List_row), so saving
// writes back exactly what was read even where the bytes are not valid in
// that encoding; rows typed in the main window are encoded afresh.

namespace
{

// Every row and its "\n", each write checked: a short write means the disk
// refused the bytes.
bool write_rows(QSaveFile &file, const QListWidget &list)
{
    for (int row = 0; row < list.count(); ++row) {
        const QByteArray line = static_cast<const List_row *>(list.item(row))->line_bytes() + '\n';
        if (file.write(line) != line.size())
            return false;
    }
    return true;
}

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
    form->velto_obj_lst->addItem(new List_row(bytes, text));
    objects->append(object);
}

bool Velto_list::read_file(const QString &path)
{
    // Binary mode: text mode would drop every '\r', also inside a line.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QStringDecoder decode(QStringConverter::System, QStringConverter::Flag::Stateless);
    const int first = int(objects->size());
    // One read per 64 KB block rather than per line; each row gets a copy of
    // just its own bytes.
    QByteArray pending;
    const auto append = [&](const char *data, qsizetype size) {
        const QByteArray bytes = without_line_end(QByteArray(data, size));
        append_line(bytes, decode(bytes));
    };
    while (true) {
        const QByteArray block = file.read(1 << 16);
        if (block.isEmpty())
            break;
        pending += block;
        qsizetype start = 0;
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n', start)) {
            append(pending.constData() + start, end + 1 - start);
            start = end + 1;
        }
        pending.remove(0, start);
    }
    if (!pending.isEmpty())
        append(pending.constData(), pending.size());
    if (objects->size() > first)
        emit rows_inserted(first, int(objects->size()) - 1);
    if (sky)
        sky->list_changed();
    last_file = path;
    night_log(QStringLiteral("list read"), path);
    return true;
}

bool Velto_list::write_copy(const QString &path, QString &reason) const
{
    // QSaveFile::commit() renames a partial file over the old one when the
    // last buffered bytes cannot reach a full disk; the explicit flush()
    // reports that failure while the old file can still be kept.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && write_rows(file, *form->velto_obj_lst) && file.flush() &&
        file.commit())
        return true;
    reason = file.errorString();
    file.cancelWriting();
    return false;
}

bool Velto_list::save_file(const QString &path)
{
    QString reason;
    if (write_copy(path, reason)) {
        last_file = path;
        hand_edits = false;
        night_log(QStringLiteral("list saved"), path);
        return true;
    }
    log_err(QLatin1String("Velto list save error ") + path + QLatin1String(": ") + reason);
    night_log(QStringLiteral("list not saved"), path + QLatin1String(": ") + reason);
    emit save_failed(path);
    return false;
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

bool Velto_list::save_list()
{
    if (form->velto_obj_lst->count() == 0)
        return false;
    QFileDialog dialog(this, QString(), QString(), QString());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral(".lst(*.lst)"), tr("All files(*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("lst"));
    if (!last_file.isNull())
        dialog.selectFile(last_file);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList files = dialog.selectedFiles();
    return !files.isEmpty() && !files.first().isNull() && save_file(files.first());
}
