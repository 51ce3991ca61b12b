#include "db/RestoreUpdate.h"

#include "db/StartupUpdate.h"

bool UpdateRestoredDataSet(const std::function<void(const QString&)>& progressLabel, QString* error) {
    return UpdateRestoredDatabase(progressLabel, error);
}
