#include "app/velto_obj_list.h"

#include "app/app_files.h"
#include "app/velto_about.h"
#include "app/velto_help.h"
#include "coords/log_line.h"
#include "corr/velto_corr.h"
#include "objlist/velto_list.h"
#include "sky/velto_sky.h"
#include "tonight/velto_tonight.h"
#include "ui_velto_obj_list.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>

// Language switching, help and about.
//
// The program's own texts are English. The national language is the system's
// when a translation for it is installed beside the program, Russian
// otherwise, and Russian also on a US-English system. Translations and
// manuals are found by names made of the application's name and a locale
// name, such as Velto_Obj_List_ru_RU.qm and Velto_Obj_List_ru_RU.html.

namespace
{

constexpr QLatin1String russian("ru_RU");
constexpr QLatin1String us_english("en_US");

QString manual_file(const QString &dir, const QString &name, const QString &locale)
{
    return dir + QLatin1Char('/') + name + QLatin1Char('_') + locale + QLatin1String(".html");
}

// The manual of the national language: the system's own when it is there,
// the Russian one otherwise; always the Russian one on a US-English system.
QString national_manual(const QString &dir, const QString &name, const QString &locale)
{
    QString own = manual_file(dir, name, locale);
    if (locale == russian)
        return own;
    if (!QFile::exists(own)) {
        log_out(QLatin1String("No Help-file for System locale ") + locale +
                QLatin1String("... Trying Russian one..."));
        return manual_file(dir, name, russian);
    }
    return locale == us_english ? manual_file(dir, name, russian) : own;
}

// English is built in: the translator holds no messages. Loading data that is
// no translation empties it; a failing file load is not enough, since the
// locale form of QTranslator::load also finds files in the current directory.
void clear_translator(QTranslator &translator)
{
    [[maybe_unused]] const bool loaded = translator.load(nullptr, 0); // always false
}

// Loads dir/base.qm (Qt also tries the shorter names it derives from base)
// and writes the outcome on standard output.
bool load_and_report(QTranslator &translator, const QString &dir, const QString &base)
{
    const bool ok = translator.load(base, dir);
    log_out(dir + QLatin1Char('/') + base + QLatin1String(".qm") +
            (ok ? QLatin1String(" Ok!") : QLatin1String(" Fail...")));
    return ok;
}

// Qt's own texts (file dialog, message box buttons, About Qt) for the locale
// of the program's translation named by base, such as qtbase_ru.qm for
// Velto_Obj_List_ru_RU; the file comes with Qt, not with the program.
void load_qt_translation(QTranslator &translator, const QString &app_name, const QString &base)
{
    const QString locale = base.mid(app_name.size() + 1);
    if (!translator.load(QLatin1String("qtbase_") + locale,
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        clear_translator(translator);
}

// Loads the national translation named by base, or the Russian one when that
// fails or the system is US English, and reports each try; base becomes the
// name last tried, so once Russian has been tried later switches try it
// directly. True when a translation was loaded.
bool load_national(QTranslator &translator, const QString &dir, const QString &app_name,
                   const QString &locale, QString &base)
{
    const QString russian_base = app_name + QLatin1Char('_') + russian;
    if (locale == us_english) {
        log_out(QLatin1String("System locale is ") + locale +
                QLatin1String("... But anyway trying Russian ..."));
        base = russian_base;
        return load_and_report(translator, dir, base);
    }
    if (load_and_report(translator, dir, base))
        return true;
    log_out(QStringLiteral("Trying Russian... "));
    base = russian_base;
    return load_and_report(translator, dir, base);
}

} // namespace

void Velto_Obj_List::install_translator()
{
    locale_name = QLocale::system().name();
    app_dir = app_files_dir();
    app_name = app_files_name();
    tr_base_name = app_name + QLatin1Char('_') + locale_name;
    clear_translator(translator);
    QCoreApplication::installTranslator(&translator);
    QCoreApplication::installTranslator(&qt_translator);
}

void Velto_Obj_List::create_help_about()
{
    about_win = new Velto_about;
    about_win->set_about_text();
    about_win->hide();
    about_win->setWindowModality(Qt::ApplicationModal);
    about_win->setWindowFlags(Qt::Dialog);

    help_win = new Velto_help;
    help_win->load_help(manual_file(app_dir, app_name, us_english));
    help_win->hide();
}

void Velto_Obj_List::on_actionNatLang_triggered(bool checked)
{
    if (!checked) {
        clear_translator(translator);
        clear_translator(qt_translator);
        retranslate_windows(manual_file(app_dir, app_name, us_english));
        return;
    }
    const bool loaded = load_national(translator, app_dir, app_name, locale_name, tr_base_name);
    // Qt's dialogs speak the language the program's own texts are shown in.
    if (loaded)
        load_qt_translation(qt_translator, app_name, tr_base_name);
    else
        clear_translator(qt_translator);
    retranslate_windows(national_manual(app_dir, app_name, locale_name));
}

void Velto_Obj_List::retranslate_windows(const QString &manual)
{
    form->retranslateUi(this);
    // One arg() call: a user name holding "%2" stays as it is.
    form->velto_level_lab->setText(tr("User=%1 Level=%2 ").arg(query_user, QString::number(level)));
    list_win->retranslateUi();
    sky_win->retranslateUi();
    corr_win->retranslateUi();
    tonight_win->retranslateUi();
    about_win->set_about_text();
    help_win->load_help(manual);
}

void Velto_Obj_List::on_actionAbout_Qt_triggered()
{
    QMessageBox::aboutQt(nullptr, QString());
}

void Velto_Obj_List::on_actionAbout_triggered()
{
    about_win->show();
}

void Velto_Obj_List::on_actionHelp_triggered()
{
    help_win->show();
    help_win->scrollToAnchor(QStringLiteral("begin"));
}
