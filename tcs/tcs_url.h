#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

// Query items of a TCS request, in the order they are sent.
using QueryItems = QList<QPair<QString, QString>>;

// "key=value" pairs joined by "&". Unreserved characters, the sub-delimiters
// and ":@/?" stay as they are (a declination keeps its "+" and colons); every
// other byte of the UTF-8 text, "=" and "&" among them, is sent as %XX.
QByteArray encode_query(const QueryItems &items);
// The query as a log shows it: the password ("Pass") as "****".
QString logged_query(QueryItems items);

// "http://" + host + script path, with the query when there are items.
QUrl tcs_url(const QString &host, const QString &path, const QueryItems &items = {});
