#include "tcs/tcs_url.h"

namespace
{

bool sent_as_is(char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    static const QByteArray kept("-._~!$'()*+,;:@/?");
    return kept.contains(c);
}

QByteArray encode_part(const QString &text)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    const QByteArray bytes = text.toUtf8();
    for (const char c : bytes) {
        if (sent_as_is(c)) {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0f];
        }
    }
    return out;
}

} // namespace

QByteArray encode_query(const QueryItems &items)
{
    QByteArray query;
    for (const auto &[key, value] : items) {
        if (!query.isEmpty())
            query += '&';
        query += encode_part(key) + '=' + encode_part(value);
    }
    return query;
}

QString logged_query(QueryItems items)
{
    for (auto &[key, value] : items)
        if (key == QLatin1String("Pass"))
            value = QStringLiteral("****");
    return QString::fromLatin1(encode_query(items));
}

QUrl tcs_url(const QString &host, const QString &path, const QueryItems &items)
{
    QByteArray text = "http://" + host.toUtf8() + path.toUtf8();
    if (!items.isEmpty())
        text += '?' + encode_query(items);
    return QUrl::fromEncoded(text, QUrl::StrictMode);
}
