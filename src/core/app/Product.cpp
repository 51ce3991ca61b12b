#include "core/app/Product.h"

namespace Product {

QString UpdateScriptName() {
    QString digits;
    for (const QChar c : kVersion)
        if (c.isDigit()) digits += c;
    return QStringLiteral("BD_") + digits + QStringLiteral(".maj");
}

QString SettingsFileName() {
    return kProgramFileName + QStringLiteral(".ini");
}

QString DevelopmentMarkerName() {
    return kProgramFileName + QStringLiteral(".dpr");
}

} // namespace Product
