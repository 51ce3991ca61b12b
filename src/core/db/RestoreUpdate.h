#pragma once

#include <QString>

#include <functional>

// After a restoration, brings a database older than the program up to date with the update script
// (progressLabel shows its texts) and stamps the program's version. True when there was nothing to do.
bool UpdateRestoredDataSet(const std::function<void(const QString&)>& progressLabel, QString* error = nullptr);
