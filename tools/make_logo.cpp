// Writes the default logo "logo.gen": a bitmap the professional replaces with
// their own from the professional setup.
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_logo <output file>\n");
        return 2;
    }
    QImage image(720, 240, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 70, 120), 6));
    p.drawRoundedRect(QRectF(10, 10, 700, 220), 24, 24);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(84);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(40, 70, 120));
    p.drawText(QRectF(10, 10, 700, 150), Qt::AlignCenter, QStringLiteral("Studio"));
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(30);
    p.setFont(small);
    p.setPen(QColor(90, 90, 90));
    p.drawText(QRectF(10, 150, 700, 60), Qt::AlignCenter, QStringLiteral("il vostro logo qui"));
    p.end();
    if (!image.save(QString::fromLocal8Bit(argv[1]), "BMP")) {
        std::fprintf(stderr, "make_logo: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
