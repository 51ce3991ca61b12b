// Checks that the sources keep to the order of their folders: reads SOURCE_ROOT/layers.txt (the folders, bottom to
// top, one level to a line, peers on one line) and every #include "..." of the .h and .cpp files under SOURCE_ROOT,
// and reports, with file and line, an include of a folder above the includer's or of a peer, a source in a folder
// that layers.txt does not declare, and a Qt Widgets header included under core/.
//
//   check-layers [--widgets-headers DIR] SOURCE_ROOT
//
// DIR is Qt Widgets' include folder, whose file names are the headers that core/ must not include.
// Exit status: 0 when the tree keeps to its order, 1 when it does not, 2 on wrong arguments or an unreadable file.
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>

namespace {

struct Layers {
    QHash<QString, int> levelOf; // folder (or "main.cpp") -> level, 0 at the bottom
};

bool ReadLayers(const QString& path, Layers* layers, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("%1: cannot be read").arg(path);
        return false;
    }
    int level = 0;
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        for (const QString& folder : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (layers->levelOf.contains(folder)) {
                *error = QStringLiteral("%1:%2: %3 is declared twice").arg(path).arg(lineNumber).arg(folder);
                return false;
            }
            layers->levelOf.insert(folder, level);
        }
        ++level;
    }
    return true;
}

// The folder a source belongs to, as layers.txt names it: its directory under the root, or the file's own name for
// a file at the root (main.cpp).
QString FolderOf(const QString& relativePath) {
    const int slash = relativePath.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? relativePath : relativePath.left(slash);
}

QSet<QString> WidgetHeaders(const QString& folder) {
    QSet<QString> names;
    if (folder.isEmpty()) return names;
    const QStringList entries = QDir(folder).entryList(QDir::Files);
    for (const QString& name : entries)
        names.insert(name);
    return names;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    QString widgetsFolder;
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--widgets-headers")) {
        widgetsFolder = arguments.at(1);
        arguments = arguments.mid(2);
    }
    QTextStream err(stderr);
    if (arguments.size() != 1) {
        err << "usage: check-layers [--widgets-headers DIR] SOURCE_ROOT\n";
        return 2;
    }
    const QDir root(QFileInfo(arguments.first()).absoluteFilePath());
    Layers layers;
    QString error;
    if (!ReadLayers(root.filePath(QStringLiteral("layers.txt")), &layers, &error)) {
        err << error << '\n';
        return 2;
    }
    const QSet<QString> widgetHeaders = WidgetHeaders(widgetsFolder);
    if (!widgetsFolder.isEmpty() && !widgetHeaders.contains(QStringLiteral("QWidget"))) {
        err << widgetsFolder << ": not Qt Widgets' include folder\n";
        return 2;
    }

    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"));
    QStringList sources;
    QDirIterator it(root.path(), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        sources << root.relativeFilePath(it.next());
    sources.sort();

    QStringList faults;
    for (const QString& source : sources) {
        const QString folder = FolderOf(source);
        if (!layers.levelOf.contains(folder)) {
            faults << QStringLiteral("%1: its folder %2 is not declared in layers.txt").arg(source, folder);
            continue;
        }
        const int level = layers.levelOf.value(folder);
        QFile file(root.filePath(source));
        if (!file.open(QIODevice::ReadOnly)) {
            err << source << ": cannot be read\n";
            return 2;
        }
        int lineNumber = 0;
        while (!file.atEnd()) {
            ++lineNumber;
            const QString line = QString::fromUtf8(file.readLine());
            const QRegularExpressionMatch match = include.match(line);
            if (!match.hasMatch()) continue;
            const QString header = match.captured(2);
            const QString where = QStringLiteral("%1:%2: ").arg(source).arg(lineNumber);
            if (match.captured(1) == QLatin1String("<")) {
                const bool widgets = header.startsWith(QLatin1String("QtWidgets")) || widgetHeaders.contains(header);
                if (widgets && source.startsWith(QLatin1String("core/")))
                    faults << where + QStringLiteral("core includes the Qt Widgets header <%1>").arg(header);
                continue;
            }
            // Project headers are named by their path under the root; anything else (a generated file) is not ours.
            if (!QFileInfo::exists(root.filePath(header))) continue;
            const QString target = FolderOf(header);
            if (target == folder) continue;
            if (!layers.levelOf.contains(target)) {
                faults << where + QStringLiteral("includes %1, whose folder is not declared in layers.txt").arg(header);
                continue;
            }
            const int targetLevel = layers.levelOf.value(target);
            if (targetLevel > level)
                faults << where + QStringLiteral("%1 includes %2 of %3, a folder above it").arg(folder, header, target);
            else if (targetLevel == level)
                faults << where + QStringLiteral("%1 includes %2 of %3, a peer folder").arg(folder, header, target);
        }
    }
    for (const QString& fault : faults)
        err << fault << '\n';
    return faults.isEmpty() ? 0 : 1;
}
