#pragma once

#include <QString>

struct UpdateFeedback;

// After a restoration, brings a database older than the program up to date with the update script
// (feedback: its progress window and text line) and stamps the program's version. True when there was nothing to
// do.
bool UpdateRestoredDataSet(const UpdateFeedback& feedback, QString* error = nullptr);
