#pragma once

#include <QString>

namespace vexa::assets {

// The repository's CHANGELOG.md as a Debian changelog. A version starts with
// "## VERSION (YYYY-MM-DD)", each change with "- ", continued on lines
// indented by two spaces; text before the first version is the file's own
// preface. Any other line inside a version is refused rather than dropped.
// On failure returns false with a reason naming the line.
bool DebianChangelog(const QString& markdown, const QString& package, const QString& maintainer,
                     QString& out, QString& error);

// A manual page: the template's {{synopsis}}, {{description}} and {{options}}
// (each exactly once) filled from a program's --help text, {{version}} and
// {{date}} from the arguments. In the help, the usage line is the synopsis,
// the text up to the first "Heading:" line the description, and the rest
// the options: headings, option items with their continuation lines, and
// paragraphs.
bool ManPage(const QString& manTemplate, const QString& help, const QString& version,
             const QString& date, QString& out, QString& error);

} // namespace vexa::assets
