#pragma once

#include <QStringList>

// The product names of the scanners installed on the machine, in the order the scanner service lists
// them. Empty for now: the scanner service is not wired in yet, so no source is offered.
QStringList ListScannerSources();
