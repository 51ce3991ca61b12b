#include "records/RecordActions.h"

#include "db/TDataModule1.h"
#include "records/TEnterPerson.h"

bool ShowRecordEditor(QWidget* owner, bool isNew) {
    TDataModule1* data = DataModule1();
    return data && ShowPersonEditor(owner, *data, isNew);
}
