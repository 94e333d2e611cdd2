// vexa-release-assets: what an installation ships beside the program, made
// at build time from the sources: the manual as PDF from its Markdown text,
// the icon in the sizes desktop themes look for, the Debian changelog and
// the manual pages, whose options are the programs' own --help.

#include "PackageTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>
#include <cstdio>

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "vexa-release-assets: %s\n", qPrintable(message));
    return 1;
}

// Images never wider than the text, and each one found: a manual that lost a
// picture would otherwise be written with an empty box in its place.
bool FitImages(QTextDocument& doc, const QString& baseDir, qreal textWidth, QString& error)
{
    struct Placed {
        int position;
        int length;
        QTextImageFormat format;
    };
    QList<Placed> images;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                images.append({fragment.position(), fragment.length(),
                               fragment.charFormat().toImageFormat()});
        }
    }
    for (Placed& placed : images) {
        const QString path =
            QFileInfo(baseDir + QLatin1Char('/') + placed.format.name()).filePath();
        const QImage image(path);
        if (image.isNull()) {
            error = QStringLiteral("image %1 not found or unreadable").arg(path);
            return false;
        }
        // By absolute name: the copy of the document that prints has no base folder.
        const QString name = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString();
        doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
        placed.format.setName(name);
        const qreal scale = qMin<qreal>(1.0, textWidth / image.width());
        placed.format.setWidth(image.width() * scale);
        placed.format.setHeight(image.height() * scale);
        QTextCursor cursor(&doc);
        cursor.setPosition(placed.position);
        cursor.setPosition(placed.position + placed.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(placed.format);
    }
    return true;
}

int WriteManual(const QString& markdownPath, const QString& pdfPath, const QString& version)
{
    QFile in(markdownPath);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return Fail(QStringLiteral("cannot read %1").arg(markdownPath));
    QString text = QString::fromUtf8(in.readAll());
    text.replace(QStringLiteral("{{version}}"), version);

    QPdfWriter pdf(pdfPath);
    pdf.setTitle(QStringLiteral("Vexa User Manual"));
    pdf.setCreator(QStringLiteral("Vexa %1").arg(version));
    // The margins are the document's own: printing adds 2 cm on every side
    // and puts the page number into the bottom one.
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                                  QPageLayout::Millimeter));
    pdf.setResolution(300);

    QTextDocument doc;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(10.5);
    doc.setDefaultFont(font);
    doc.setMarkdown(text, QTextDocument::MarkdownDialectGitHub);

    // Image widths are in 96-dpi pixels; pictures take at most 85 % of the
    // text's width, which is the page less its 2 cm margins.
    const qreal textWidth =
        (pdf.pageLayout().paintRect(QPageLayout::Inch).width() - 2 * 2 / 2.54) * 96 * 0.85;
    QString error;
    if (!FitImages(doc, QFileInfo(markdownPath).absolutePath(), textWidth, error))
        return Fail(error);

    // Tables with room around the text and single rules.
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            QTextTableFormat format = table->format();
            format.setCellPadding(4);
            format.setCellSpacing(0);
            format.setBorderCollapse(true);
            format.setBorder(0.5);
            table->setFormat(format);
        }
    }

    // Each chapter starts a page.
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.headingLevel() == 2) {
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).setBlockFormat(format);
        }
    }

    doc.print(&pdf);
    if (!QFileInfo(pdfPath).isFile() || QFileInfo(pdfPath).size() == 0)
        return Fail(QStringLiteral("cannot write %1").arg(pdfPath));
    return 0;
}

int WriteIcon(const QString& sourcePath, int size, const QString& outPath)
{
    const QImage source(sourcePath);
    if (source.isNull())
        return Fail(QStringLiteral("cannot read %1").arg(sourcePath));
    if (size <= 0 || size > source.width() || size > source.height())
        return Fail(QStringLiteral("size %1 is not between 1 and the source's %2 x %3")
                        .arg(size)
                        .arg(source.width())
                        .arg(source.height()));
    const QImage icon = source.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_ARGB32);
    if (!icon.save(outPath, "PNG"))
        return Fail(QStringLiteral("cannot write %1").arg(outPath));
    return 0;
}

QString ReadText(const QString& path, QString& error)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = QStringLiteral("cannot read %1").arg(path);
        return {};
    }
    return QString::fromUtf8(in.readAll());
}

int WriteText(const QString& path, const QString& text)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text.toUtf8()) < 0 ||
        !out.flush())
        return Fail(QStringLiteral("cannot write %1").arg(path));
    return 0;
}

int WriteChangelog(const QString& markdownPath, const QString& package, const QString& maintainer,
                   const QString& outPath)
{
    QString error;
    const QString markdown = ReadText(markdownPath, error);
    QString text;
    if (!error.isEmpty() ||
        !vexa::assets::DebianChangelog(markdown, package, maintainer, text, error))
        return Fail(QStringLiteral("%1: %2").arg(markdownPath, error));
    return WriteText(outPath, text);
}

int WriteManPage(const QString& templatePath, const QString& program, const QString& version,
                 const QString& date, const QString& outPath)
{
    QString error;
    const QString manTemplate = ReadText(templatePath, error);
    if (!error.isEmpty())
        return Fail(error);
    QProcess run;
    run.start(program, {QStringLiteral("--help")});
    if (!run.waitForFinished(30000) || run.exitStatus() != QProcess::NormalExit)
        return Fail(QStringLiteral("%1 --help failed: %2").arg(program, run.errorString()));
    if (run.exitCode() != 0)
        return Fail(QStringLiteral("%1 --help ended with %2").arg(program).arg(run.exitCode()));
    QString page;
    if (!vexa::assets::ManPage(manTemplate, QString::fromLocal8Bit(run.readAllStandardOutput()),
                               version, date, page, error))
        return Fail(QStringLiteral("%1: %2").arg(templatePath, error));
    return WriteText(outPath, page);
}

} // namespace

int main(int argc, char* argv[])
{
    // A build machine has no display; text layout needs only fonts.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();

    if (args.size() == 5 && args[1] == QLatin1String("manual"))
        return WriteManual(args[2], args[3], args[4]);
    if (args.size() == 5 && args[1] == QLatin1String("icon")) {
        bool ok = false;
        const int size = args[3].toInt(&ok);
        return ok ? WriteIcon(args[2], size, args[4]) : Fail(QStringLiteral("bad size"));
    }
    if (args.size() == 6 && args[1] == QLatin1String("changelog"))
        return WriteChangelog(args[2], args[3], args[4], args[5]);
    if (args.size() == 7 && args[1] == QLatin1String("manpage"))
        return WriteManPage(args[2], args[3], args[4], args[5], args[6]);
    std::fputs("Usage: vexa-release-assets manual IN.md OUT.pdf VERSION\n"
               "       vexa-release-assets icon IN.png SIZE OUT.png\n"
               "       vexa-release-assets changelog IN.md PACKAGE MAINTAINER OUT\n"
               "       vexa-release-assets manpage TEMPLATE PROGRAM VERSION DATE OUT\n",
               stderr);
    return 2;
}
