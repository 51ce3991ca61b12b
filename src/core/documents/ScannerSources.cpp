#include "core/documents/ScannerSources.h"

QStringList ListScannerSources() {
    // Scanner access (SANE) comes with the acquisition work; until then there is nothing to list.
    return {};
}
