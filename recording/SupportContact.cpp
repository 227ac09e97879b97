#include "recording/SupportContact.h"

#include <QUrlQuery>

namespace SupportContact {

QUrl message()
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(QString::fromLatin1(address));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QString::fromUtf8(subject));
    query.addQueryItem(QStringLiteral("body"), QString::fromUtf8(body));
    url.setQuery(query);
    return url;
}

} // namespace SupportContact
