#include "core/db/RestoreUpdate.h"

#include "core/db/StartupUpdate.h"

bool UpdateRestoredDataSet(const UpdateFeedback& feedback, QString* error) {
    return UpdateRestoredDatabase(feedback, error);
}
