#include "core/db/RestoreUpdate.h"

#include "core/db/StartupUpdate.h"

bool UpdateRestoredDataSet(const std::function<void(const QString&)>& progressLabel, QString* error) {
    return UpdateRestoredDatabase(progressLabel, error);
}
