#include "core/records/RecordActions.h"

#include "core/db/TDataModule1.h"
#include "core/records/PersonRecords.h"

bool DeletePerson(QString* error) {
    TDataModule1* data = DataModule1();
    if (!data) {
        if (error) *error = QStringLiteral("La base de données n'est pas ouverte.");
        return false;
    }
    return DeletePersonWithEverything(*data, error);
}
