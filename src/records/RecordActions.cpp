#include "records/RecordActions.h"

// The deletion cascade comes with the record editor; until then nothing is deleted.
bool DeletePerson(QString*) {
    return false;
}
