#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUrl>
#include <vector>

namespace vexa {

// One published update: a row of the update grid.
struct UpdateEntry {
    int number = 0;
    QString module;
    QString version;
    QString description;
    // The complete address of the image, as the list gives it (a CR before
    // the line's LF stays part of it).
    QString fileAddress;
};

// The entries of an update list: two LF-ended lines each, "module,version,
// address" and a description. The first entry is always read, even from an
// empty text; reading goes on while more than 6 characters remain.
std::vector<UpdateEntry> ParseUpdateList(QByteArrayView text);

// An HTML page (a server's error or login page) where a list was expected.
bool IsWebPage(QByteArrayView text);

// Text lines a description takes in the grid: 50 characters a line, at least one.
int DescriptionLines(const QString& description);

// The address to download an entry from: its file address without the
// surrounding blanks and line ends; empty unless it is an http or https
// address with a host.
QUrl ImageAddress(const QString& fileAddress);

// An image address that would take an update whose list came over https
// down to plain http, where anyone on the way could change the firmware.
bool DowngradesFrom(const QUrl& listSource, const QUrl& image);

} // namespace vexa
