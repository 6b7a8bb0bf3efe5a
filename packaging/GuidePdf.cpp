// korvan-guide-pdf: an HTML document (the user guide as pandoc writes it)
// drawn on A4 pages into a PDF file, with Qt's rich text.
//
//   korvan-guide-pdf INPUT.html PICTURES_FOLDER OUTPUT.pdf
//
// Pictures are read relative to PICTURES_FOLDER; one wider than the page's
// text is shrunk to its width (a window's screenshot keeps its proportions).
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM names another.

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <cstdio>

namespace {

// The page's text area in the document's units (1/96 inch): A4 less 20 mm
// on every side.
constexpr double kMillimetre = 96.0 / 25.4;
constexpr double kMarginMm = 20.0;
const QSizeF kTextArea((210.0 - 2 * kMarginMm) * kMillimetre, (297.0 - 2 * kMarginMm) * kMillimetre);

// Gives every picture wider than the text area that width; false when a
// picture cannot be read.
bool fitPictures(QTextDocument& document, const QUrl& base, QString& missing)
{
    bool allRead = true;
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QImage picture(base.resolved(QUrl(format.name())).toLocalFile());
            if (picture.isNull()) {
                missing += format.name() + "\n";
                allRead = false;
                continue;
            }
            double width = format.width() > 0 ? format.width() : picture.width();
            if (width > kTextArea.width())
                width = kTextArea.width();
            format.setWidth(width);
            format.setHeight(width * picture.height() / picture.width());
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
    return allRead;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "Usage: korvan-guide-pdf INPUT.html PICTURES_FOLDER OUTPUT.pdf\n");
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
    document.setDefaultFont(QFont("Liberation Sans", 11));
    document.setHtml(QString::fromUtf8(input.readAll()));
    document.setPageSize(kTextArea);
    QString missing;
    if (!fitPictures(document, base, missing)) {
        std::fprintf(stderr, "korvan-guide-pdf: cannot read the pictures:\n%s", qPrintable(missing));
        return 1;
    }

    QPdfWriter writer(QString::fromLocal8Bit(argv[3]));
    writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
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
