// orrery_render_icon <source.png> <size> <output.png>: the program icon at one of the
// square sizes the desktop's icon theme looks for.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <source.png> <size> <output.png>\n", argv[0]);
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    bool isNumber = false;
    const int size = QString::fromLocal8Bit(argv[2]).toInt(&isNumber);
    if (source.isNull() || !isNumber || size <= 0) {
        std::fprintf(stderr, "%s: cannot render %s at %s\n", argv[0], argv[1], argv[2]);
        return 1;
    }
    const QString output = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(QFileInfo(output).path());
    const QImage icon = source.convertToFormat(QImage::Format_ARGB32)
                            .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // A source that is not square is centred on a transparent square.
    QImage square(size, size, QImage::Format_ARGB32);
    square.fill(Qt::transparent);
    const int left = (size - icon.width()) / 2;
    const int top = (size - icon.height()) / 2;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x)
            square.setPixel(left + x, top + y, icon.pixel(x, y));
    }
    if (!square.save(output, "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
