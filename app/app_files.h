#pragma once

#include <QString>

// The program finds its data files (translations, manuals, icons) in one
// folder, under names that begin with the application's name: "Velto_Obj_List"
// for the program, the test's own name for a test.
QString app_files_dir();  // the executable's directory unless redirected
QString app_files_name(); // QCoreApplication::applicationName()

// Tests point the program at a folder of their own; an empty text restores
// the executable's directory. The program itself never calls it.
void set_app_files_dir(const QString &dir);

// The data file named by the application's name and a suffix, such as
// "_ru_RU.html" or "_icon.png", in the data folder.
QString app_file(const QString &suffix);
