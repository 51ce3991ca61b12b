#pragma once

#include <QString>

// True when the folder lies on a removable device (a USB stick, a memory card), as the kernel
// reports it in the device's "removable" flag under /sys/block. False when it cannot be told.
bool IsOnRemovableDrive(const QString& folder);

// The same test against another /sys tree, for tests.
bool IsOnRemovableDrive(const QString& folder, const QString& sysRoot);
