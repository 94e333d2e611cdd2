#include "PackageTexts.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>

namespace vexa::assets {

namespace {

// debchange's width; Debian's checker refuses lines over 80.
constexpr qsizetype ChangelogWidth = 78;

QString Wrapped(const QString& text, const QString& first, const QString& rest)
{
    QString out;
    QString line = first;
    bool empty = true;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!empty && line.size() + 1 + word.size() > ChangelogWidth) {
            out += line + QLatin1Char('\n');
            line = rest;
            empty = true;
        }
        line += (empty ? QString() : QStringLiteral(" ")) + word;
        empty = false;
    }
    return out + line + QLatin1Char('\n');
}

// RFC 2822, in English whatever the build machine's locale.
QString ChangelogDate(QDate date)
{
    static const char* const Days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return QStringLiteral("%1, %2 %3 %4 12:00:00 +0000")
        .arg(QLatin1String(Days[date.dayOfWeek() - 1]))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(QLatin1String(Months[date.month() - 1]))
        .arg(date.year());
}

struct Entry {
    QString version;
    QDate date;
    QStringList items;
};

} // namespace

bool DebianChangelog(const QString& markdown, const QString& package, const QString& maintainer,
                     QString& out, QString& error)
{
    static const QRegularExpression Heading(
        QStringLiteral(R"(^## (\S+) \((\d{4}-\d{2}-\d{2})\)$)"));
    QList<Entry> entries;
    bool inItem = false;
    const QStringList lines = markdown.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString& line = lines[n];
        const QString where = QStringLiteral("line %1: ").arg(n + 1);
        if (line.startsWith(QLatin1String("## "))) {
            const auto m = Heading.match(line);
            const QDate date = QDate::fromString(m.captured(2), Qt::ISODate);
            if (!m.hasMatch() || !date.isValid()) {
                error = where + QStringLiteral("want \"## VERSION (YYYY-MM-DD)\"");
                return false;
            }
            entries.append({m.captured(1), date, {}});
            inItem = false;
        } else if (entries.isEmpty() || line.trimmed().isEmpty()) {
            inItem = false;
        } else if (line.startsWith(QLatin1String("- "))) {
            entries.last().items.append(line.mid(2).trimmed());
            inItem = true;
        } else if (inItem && line.startsWith(QLatin1String("  "))) {
            entries.last().items.last() += QLatin1Char(' ') + line.trimmed();
        } else {
            error = where + QStringLiteral("neither a \"- \" item nor its continuation");
            return false;
        }
    }
    if (entries.isEmpty()) {
        error = QStringLiteral("no version");
        return false;
    }
    out.clear();
    for (const Entry& e : entries) {
        if (e.items.isEmpty()) {
            error = QStringLiteral("version %1 lists no change").arg(e.version);
            return false;
        }
        if (!out.isEmpty())
            out += QLatin1Char('\n');
        out += QStringLiteral("%1 (%2) unstable; urgency=medium\n\n").arg(package, e.version);
        for (QString item : e.items)
            out += Wrapped(item.remove(QLatin1Char('`')), QStringLiteral("  * "),
                           QStringLiteral("    "));
        out += QStringLiteral("\n -- %1  %2\n").arg(maintainer, ChangelogDate(e.date));
    }
    return true;
}

namespace {

// Roff text: backslashes and leading control characters escaped; minus signs
// (options, negative numbers) typed as such, hyphens inside words kept.
QString RoffText(const QString& text)
{
    static const QRegularExpression Opening(QStringLiteral(R"([^("'\[])"));
    QStringList words = text.split(QLatin1Char(' '));
    for (QString& word : words) {
        word.replace(QLatin1Char('\\'), QLatin1String("\\e"));
        const qsizetype start = word.indexOf(Opening);
        const bool option = start >= 0 && word[start] == QLatin1Char('-');
        for (qsizetype i = word.size() - 1; i >= 0; --i) {
            const bool inWord = i > 0 && i + 1 < word.size() && word[i - 1].isLetterOrNumber() &&
                                word[i + 1].isLetterOrNumber();
            if (word[i] == QLatin1Char('-') && (option || !inWord))
                word.replace(i, 1, QStringLiteral("\\-"));
        }
    }
    QString out = words.join(QLatin1Char(' '));
    if (out.startsWith(QLatin1Char('.')) || out.startsWith(QLatin1Char('\'')))
        out.prepend(QStringLiteral("\\&"));
    return out;
}

// "-v, --verbose" or "--load FILE": option names bold, values in italics.
QString RoffTag(const QString& tag)
{
    QStringList words = tag.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& word : words) {
        const bool comma = word.endsWith(QLatin1Char(','));
        const QString name = RoffText(comma ? word.chopped(1) : word);
        word = (word.startsWith(QLatin1Char('-')) ? QStringLiteral("\\fB%1\\fR")
                                                  : QStringLiteral("\\fI%1\\fR"))
                   .arg(name) +
               (comma ? QStringLiteral(",") : QString());
    }
    return words.join(QLatin1Char(' '));
}

int Indent(const QString& line)
{
    int n = 0;
    while (n < line.size() && line[n] == QLatin1Char(' '))
        ++n;
    return n;
}

// Collects one section's text: paragraphs and option items, joined from
// their wrapped help lines.
class Section {
public:
    void Paragraph(const QString& text)
    {
        if (kind_ != Kind::Paragraph)
            Flush();
        kind_ = Kind::Paragraph;
        body_ += (body_.isEmpty() ? QString() : QStringLiteral(" ")) + text;
    }
    void Item(const QString& tag, const QString& text, int indent)
    {
        Flush();
        kind_ = Kind::Item;
        tag_ = tag;
        body_ = text;
        indent_ = indent;
    }
    // A line indented deeper than the item it follows belongs to it.
    bool Continues(int indent, const QString& text)
    {
        if (kind_ != Kind::Item || indent <= indent_)
            return false;
        body_ += (body_.isEmpty() ? QString() : QStringLiteral(" ")) + text;
        return true;
    }
    void Heading(const QString& title)
    {
        Flush();
        roff_ += QStringLiteral(".SS \"%1\"\n").arg(RoffText(title));
    }
    void Flush()
    {
        if (kind_ == Kind::Paragraph)
            roff_ += QStringLiteral(".PP\n%1\n").arg(RoffText(body_));
        else if (kind_ == Kind::Item)
            roff_ += QStringLiteral(".TP\n%1\n%2\n").arg(RoffTag(tag_), RoffText(body_));
        kind_ = Kind::None;
        body_.clear();
    }
    QString Roff()
    {
        Flush();
        return roff_;
    }
    bool HasItems() const { return roff_.contains(QLatin1String(".TP\n")); }

private:
    enum class Kind { None, Paragraph, Item };
    Kind kind_ = Kind::None;
    QString tag_;
    QString body_;
    int indent_ = 0;
    QString roff_;
};

} // namespace

bool ManPage(const QString& manTemplate, const QString& help, const QString& version,
             const QString& date, QString& out, QString& error)
{
    QStringList lines = help.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    static const QRegularExpression Usage(QStringLiteral(R"(^Usage: (\S+)(.*)$)"));
    const auto usage = Usage.match(lines.value(0));
    if (!usage.hasMatch()) {
        error = QStringLiteral("the help does not start with \"Usage: PROGRAM\"");
        return false;
    }
    const QString synopsis =
        QStringLiteral(".B %1\n%2")
            .arg(RoffText(usage.captured(1)), RoffText(usage.captured(2).trimmed()));

    Section description;
    Section options;
    Section* section = &description;
    static const QRegularExpression Gap(QStringLiteral(" {2,}"));
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QString& line = lines[n];
        const QString text = line.trimmed();
        const int indent = Indent(line);
        const int nextIndent = n + 1 < lines.size() ? Indent(lines[n + 1]) : 0;
        const bool nextBlank = n + 1 >= lines.size() || lines[n + 1].trimmed().isEmpty();
        if (text.isEmpty()) {
            section->Flush();
        } else if (indent == 0 && text.endsWith(QLatin1Char(':')) && nextIndent > 0 && !nextBlank &&
                   (n == 1 || lines[n - 1].trimmed().isEmpty())) {
            // The options section's own title goes without a heading of its own.
            section = &options;
            if (text != QLatin1String("Options:"))
                options.Heading(text.chopped(1));
        } else if (indent == 0) {
            section->Paragraph(text);
        } else if (!section->Continues(indent, text)) {
            // The tag ends at a gap of two spaces, or where the item's next
            // line starts when the text follows after one space.
            const auto gap = Gap.match(text);
            QString tag = text;
            QString body;
            if (gap.hasMatch()) {
                tag = text.left(gap.capturedStart());
                body = text.mid(gap.capturedEnd());
            } else if (nextIndent > indent && !nextBlank && line.size() > nextIndent) {
                tag = line.left(nextIndent).trimmed();
                body = line.mid(nextIndent).trimmed();
            }
            section->Item(tag, body, indent);
        }
    }
    if (!options.HasItems()) {
        error = QStringLiteral("the help lists no options under a \"Heading:\" line");
        return false;
    }

    out = manTemplate;
    const std::pair<const char*, QString> fills[] = {
        {"{{synopsis}}", synopsis},
        {"{{description}}", description.Roff().trimmed()},
        {"{{options}}", options.Roff().trimmed()}};
    for (const auto& [key, value] : fills) {
        if (out.count(QLatin1String(key)) != 1) {
            error = QStringLiteral("the template must hold %1 once").arg(QLatin1String(key));
            return false;
        }
        out.replace(QLatin1String(key), value);
    }
    out.replace(QLatin1String("{{version}}"), version);
    out.replace(QLatin1String("{{date}}"), date);
    return true;
}

} // namespace vexa::assets
