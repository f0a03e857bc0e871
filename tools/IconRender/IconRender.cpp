// Renders the application icon's SVG into the PNG sizes a desktop looks
// for. Runs at build time, so only the SVG is kept in the repository.
//
//   IconRender <icon.svg> <output folder> <size>...   -> <folder>/<size>.png

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: IconRender <icon.svg> <output folder> <size>...\n");
        return 2;
    }
    // No window is shown; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();

    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "IconRender: cannot read %s\n", argv[1]);
        return 1;
    }
    const QDir out(args[2]);
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "IconRender: cannot create %s\n", argv[2]);
        return 1;
    }
    for (qsizetype i = 3; i < args.size(); ++i) {
        bool ok = false;
        const int size = args[i].toInt(&ok);
        if (!ok || size < 1 || size > 4096) {
            std::fprintf(stderr, "IconRender: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString file = out.filePath(QStringLiteral("%1.png").arg(size));
        if (!image.save(file)) {
            std::fprintf(stderr, "IconRender: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
