#include "UpdateListOption.h"

namespace vexa {

QUrl UpdateListAddress(const QStringList& arguments, const QByteArray& environment)
{
    const QString option = QStringLiteral("--update-list");
    QString chosen;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == option && i + 1 < arguments.size())
            chosen = arguments[++i];
        else if (arg.startsWith(option + QLatin1Char('=')))
            chosen = arg.mid(option.size() + 1);
    }
    if (chosen.isEmpty())
        chosen = QString::fromLocal8Bit(environment).trimmed();
    if (chosen.isEmpty())
        chosen = QString::fromLatin1(DefaultUpdateList);
    return QUrl::fromUserInput(chosen);
}

} // namespace vexa
