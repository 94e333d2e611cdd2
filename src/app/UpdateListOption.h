#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace vexa {

inline constexpr const char* DefaultUpdateList =
    "https://www.vexa-instruments.example/vexa/V6updates/V6updates.txt";

// Where the update list is read from: the --update-list option when given,
// else the VEXA_UPDATE_LIST environment value, else the maker's server.
QUrl UpdateListAddress(const QString& option, const QByteArray& environment);

} // namespace vexa
