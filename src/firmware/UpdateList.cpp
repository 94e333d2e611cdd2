#include "UpdateList.h"

#include <QStringDecoder>

namespace vexa {
namespace {

constexpr qsizetype MoreThanOneEntry = 6;
constexpr int CharactersPerLine = 50;

// The text before the first separator, removed with it from rest. Without a
// separator the field is empty and nothing is removed.
QByteArrayView TakeField(QByteArrayView& rest, char separator)
{
    const qsizetype at = rest.indexOf(separator);
    if (at < 0)
        return {};
    const QByteArrayView field = rest.first(at);
    rest = rest.sliced(at + 1);
    return field;
}

// Blanks and control characters off both ends.
QByteArrayView Trimmed(QByteArrayView text)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.isEmpty() && blank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && blank(text.back()))
        text.chop(1);
    return text;
}

// The list is expected in UTF-8; anything else reads as Latin-1 so no byte is lost.
QString Decode(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

std::vector<UpdateEntry> ParseUpdateList(QByteArrayView text)
{
    std::vector<UpdateEntry> entries;
    QByteArrayView rest = text;
    // Editors on Windows like to start a UTF-8 file with a byte order mark.
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    do {
        const qsizetype before = rest.size();
        UpdateEntry entry;
        entry.number = static_cast<int>(entries.size()) + 1;
        entry.module = Decode(TakeField(rest, ','));
        entry.version = Decode(TakeField(rest, ','));
        entry.fileAddress = Decode(TakeField(rest, '\n'));
        entry.description = Decode(Trimmed(TakeField(rest, '\n')));
        // Text with neither separator would be read as the same empty
        // entry for ever: it ends the list.
        if (rest.size() == before && !entries.empty())
            break;
        entries.push_back(std::move(entry));
        if (rest.size() == before)
            break;
    } while (rest.size() > MoreThanOneEntry);
    return entries;
}

bool IsWebPage(QByteArrayView text)
{
    return Trimmed(text).startsWith('<');
}

int DescriptionLines(const QString& description)
{
    const auto length = description.size();
    const auto lines = length / CharactersPerLine + (length % CharactersPerLine ? 1 : 0);
    return lines < 1 ? 1 : static_cast<int>(lines);
}

QUrl ImageAddress(const QString& fileAddress)
{
    const QUrl url(fileAddress.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return url;
}

bool DowngradesFrom(const QUrl& listSource, const QUrl& image)
{
    return listSource.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
           image.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0;
}

} // namespace vexa
