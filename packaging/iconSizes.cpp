// Writes the application icon in the sizes of the freedesktop hicolor theme, from the
// largest image of the theme's Windows icon, so that one picture serves both platforms.
// Build tool: iconSizes <icon.ico> <output folder>; writes <folder>/<N>x<N>/apps/<name>.png.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageReader>

#include <cstdio>

namespace {

const int SIZES[] = {16, 24, 32, 48, 64, 128, 256};
const char ICON_NAME[] = "com.halvard_motion.KtBridgeConfigurator.png";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "Usage: iconSizes <icon.ico> <output folder>\n");
        return 2;
    }
    QImageReader reader(arguments.at(1));
    QImage largest;
    do {
        const QImage image = reader.read();
        if (image.width() > largest.width())
            largest = image;
    } while (reader.jumpToNextImage());
    if (largest.isNull()) {
        std::fprintf(stderr, "Cannot read %s: %s\n", qPrintable(arguments.at(1)), qPrintable(reader.errorString()));
        return 1;
    }
    for (const int size : SIZES) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments.at(2)).arg(size);
        const QImage scaled = largest.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!QDir().mkpath(folder) || !scaled.save(folder + QLatin1Char('/') + QLatin1String(ICON_NAME))) {
            std::fprintf(stderr, "Cannot write the %dx%d icon to %s\n", size, size, qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
