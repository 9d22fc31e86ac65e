// Build tool: decodes the application icon's images once, here, and writes their pixels as C++
// arrays (premultiplied ARGB32, as a pixmap holds them), so that the program decodes nothing at start.
// Usage: icon_pixels OUTPUT.cpp IMAGE...
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    QFile output(QString::fromLocal8Bit(argv[1]));
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
    QTextStream out(&output);
    out << "// Made at build time by icon_pixels from the icon's image files.\n"
           "#include \"app_icon_pixels.h\"\n\nnamespace kov {\n\nnamespace {\n\n"
           "// One array, on a boundary of its own: the pages around the data read at start (which the\n"
           "// kernel maps along with them) then hold none of it, so it costs no memory until used.\n"
           "alignas(65536) const std::uint32_t kPixels[] = {";
    QStringList images;
    qsizetype at = 0;
    for (int i = 2; i < argc; ++i) {
        const QImage image = QImage(QString::fromLocal8Bit(argv[i])).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) return 1;
        out << "\n    // " << QFileInfo(QString::fromLocal8Bit(argv[i])).fileName();
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                out << ((x + y * image.width()) % 8 == 0 ? "\n    " : " ") << "0x" << Qt::hex << line[x] << Qt::dec << "u,";
        }
        images << QStringLiteral("{%1, %2, kPixels + %3}").arg(image.width()).arg(image.height()).arg(at);
        at += qsizetype(image.width()) * image.height();
    }
    out << "\n};\n\n}  // namespace\n\nconst std::array<IconPixels, " << images.size() << "> kIconPixels = {{\n    "
        << images.join(QStringLiteral(",\n    ")) << ",\n}};\n\n}  // namespace kov\n";
    return out.status() == QTextStream::Ok ? 0 : 1;
}
