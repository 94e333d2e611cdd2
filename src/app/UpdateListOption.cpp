#include "UpdateListOption.h"

namespace vexa {

QUrl UpdateListAddress(const QString& option, const QByteArray& environment)
{
    QString chosen = option.trimmed();
    if (chosen.isEmpty())
        chosen = QString::fromLocal8Bit(environment).trimmed();
    if (chosen.isEmpty())
        chosen = QString::fromLatin1(DefaultUpdateList);
    return QUrl::fromUserInput(chosen);
}

} // namespace vexa
