#pragma once

#include <QByteArray>
#include <QStringList>
#include <QUrl>

namespace vexa {

inline constexpr const char* DefaultUpdateList =
    "https://www.vexa-instruments.example/vexa/V6updates/V6updates.txt";

// Where the update list is read from: "--update-list URL" (or
// "--update-list=URL") on the command line, else the VEXA_UPDATE_LIST
// environment value, else the maker's server.
QUrl UpdateListAddress(const QStringList& arguments, const QByteArray& environment);

} // namespace vexa
