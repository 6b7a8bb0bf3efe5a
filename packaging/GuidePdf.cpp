// korvan-guide-pdf: an HTML document (the user guide as pandoc writes it)
// drawn on A4 pages into a PDF file, with Qt's rich text.
//
//   korvan-guide-pdf INPUT.html PICTURES_FOLDER OUTPUT.pdf TITLE
//
// INPUT.html is a fragment (pandoc without --standalone: its own style
// sheet is not for Qt's rich text); the guide gets this program's look.
// Pictures are read relative to PICTURES_FOLDER; one wider than the page's
// text is shrunk to its width (a window's screenshot keeps its proportions).
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM names another.

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The page's text area in the document's units (1/96 inch): A4 less 20 mm
// on every side.
constexpr double kMillimetre = 96.0 / 25.4;
constexpr double kMarginMm = 20.0;
const QSizeF kTextArea((210.0 - 2 * kMarginMm) * kMillimetre, (297.0 - 2 * kMarginMm) * kMillimetre);

// The look of the guide: Qt's rich text reads this subset of CSS.
const char* const kStyleSheet = "body { font-family: 'Liberation Sans'; font-size: 11pt; }"
                                "h1 { font-size: 20pt; }"
                                "h2 { font-size: 15pt; }"
                                "h3 { font-size: 12pt; }"

                                "p.caption { font-style: italic; font-size: 9pt; }"
                                "table { border-collapse: collapse; margin-top: 4pt; margin-bottom: 8pt; }"
                                "th, td { border: 1px solid #8a9aa8; padding: 2px 6px; }"
                                "th { background-color: #dde4ea; }"
                                "code, pre { font-family: 'Liberation Mono'; font-size: 9pt; }";

// Qt's rich text does not know HTML5's figures: it would set the picture in
// the line of the text before it. A figure becomes a block, its caption a
// paragraph of its own.
QString asQtRichText(QString html)
{
    html.replace(QRegularExpression("<figure\\b[^>]*>"), "<div>");
    html.replace("</figure>", "</div>");
    html.replace(QRegularExpression("<figcaption\\b[^>]*>"), "<p class=\"caption\">");
    html.replace("</figcaption>", "</p>");
    return html;
}

struct Picture {
    int position;
    QTextImageFormat format;
};

// Gives every picture wider than the text area that width (the whole list is
// taken first: changing a format splits the document's fragments). False
// when a picture cannot be read; `missing` names them.
bool fitPictures(QTextDocument& document, const QUrl& base, QString& missing)
{
    std::vector<Picture> pictures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                for (int i = 0; i < it.fragment().length(); ++i)
                    pictures.push_back({it.fragment().position() + i, it.fragment().charFormat().toImageFormat()});
    bool allRead = true;
    QTextCursor cursor(&document);
    for (Picture& picture : pictures) {
        const QImage image(base.resolved(QUrl(picture.format.name())).toLocalFile());
        if (image.isNull()) {
            missing += picture.format.name() + "\n";
            allRead = false;
            continue;
        }
        const double width =
            std::min(picture.format.width() > 0 ? picture.format.width() : image.width(), kTextArea.width());
        picture.format.setWidth(width);
        picture.format.setHeight(width * image.height() / image.width());
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
    return allRead;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "Usage: korvan-guide-pdf INPUT.html PICTURES_FOLDER OUTPUT.pdf TITLE\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QFile input(QString::fromLocal8Bit(argv[1]));
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "korvan-guide-pdf: cannot read %s\n", argv[1]);
        return 1;
    }
    const QUrl base = QUrl::fromLocalFile(QString::fromLocal8Bit(argv[2]) + "/");
    QTextDocument document;
    document.setBaseUrl(base);
    document.setDefaultStyleSheet(kStyleSheet);
    document.setHtml(asQtRichText(QString::fromUtf8(input.readAll())));
    document.setPageSize(kTextArea);
    QString missing;
    if (!fitPictures(document, base, missing)) {
        std::fprintf(stderr, "korvan-guide-pdf: cannot read the pictures:\n%s", qPrintable(missing));
        return 1;
    }

    QPdfWriter writer(QString::fromLocal8Bit(argv[3]));
    writer.setTitle(QString::fromLocal8Bit(argv[4]));
    writer.setCreator("KORVAN");
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
    document.print(&writer);
    if (!QFile::exists(QString::fromLocal8Bit(argv[3]))) {
        std::fprintf(stderr, "korvan-guide-pdf: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
