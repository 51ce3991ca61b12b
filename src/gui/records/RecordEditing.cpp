#include "gui/records/RecordEditing.h"

#include "core/db/TDataModule1.h"
#include "gui/records/TEnterPerson.h"

bool ShowRecordEditor(QWidget* owner, bool isNew) {
    TDataModule1* data = DataModule1();
    return data && ShowPersonEditor(owner, *data, isNew);
}
