// korvan-render-icons: the program's own picture (the window icon of the
// shell's resources) at the sizes a desktop shows, as the hicolor icon
// theme's korvan.png files, for the Debian package.
//
//   korvan-render-icons OUTPUT_FOLDER SIZE...
//
// writes OUTPUT_FOLDER/<SIZE>x<SIZE>/apps/korvan.png for every SIZE, the
// picture scaled smoothly (the sizes above its own 64 pixels are softer; a
// repeat of its pixels showed the steps of its smoothed edges instead).

#include "shell/ShellResources.h"

#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "Usage: korvan-render-icons OUTPUT_FOLDER SIZE...\n");
        return 2;
    }
    korvan::shell::initShellResources();
    const QImage picture = QImage(QStringLiteral(":/korvan/icon.png")).convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull() || picture.width() != picture.height()) {
        std::fprintf(stderr, "korvan-render-icons: the program's icon is missing or not square\n");
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "korvan-render-icons: not a size: %s\n", argv[i]);
            return 2;
        }
        const QImage icon = picture.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(folder) || !icon.save(folder + "/korvan.png", "PNG")) {
            std::fprintf(stderr, "korvan-render-icons: cannot write %s/korvan.png\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
