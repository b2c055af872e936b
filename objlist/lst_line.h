#pragma once

#include <QString>
#include <QStringView>

// One line of a .lst object list file. An object line begins with three
// unsigned integers separated by white space and holds at least one of the
// interchangeable separators ':', ';', '#':
//     12 34 56.70 : +45 23 32.3 ; 2000.0 # M 31
// Every other line is a comment line and stays a row as it is.
struct Lst_line {
    bool is_object = false;
    // Texts of an object line as set_object takes them: the coordinates with
    // ':' between their fields, the defaults "Unknown" and "2000.0" filled in,
    // a date epoch turned into a decimal year. Empty for a comment line.
    QString name;
    QString ra;
    QString dec;
    QString epoch;
};

Lst_line parse_lst_line(const QString &line);

// The decimal year of a day-month-year date ("15-03-2021", "15-Mar-2021";
// a fraction of the year is ignored) with two decimals: "2021.20". A text that
// is not a valid calendar date (31-04-2021, an unknown month, a year-first
// date) is returned as it was given.
QString date_to_decimal_year(const QString &date);

// The form a coordinate typed with blanks takes: "12 34 56" -> "12:34:56".
// Leading and trailing white space goes, inner runs count as one blank.
QString colon_form(QStringView coordinate);

// The right ascension and declination look like numbers: each has at least
// two characters and begins with digits (the declination with signs first).
bool valid_coordinates(const QString &ra, const QString &dec);

// The row text of an object entered by hand, columns padded for a fixed-width
// font: " 12 34 56.70 : +45 23 32.3 ; 2000.0 # M 31".
QString object_line_text(const QString &name, const QString &ra, const QString &dec,
                         const QString &epoch);

// The row text of a comment entered by hand: "# " and the text.
QString comment_line_text(const QString &text);
