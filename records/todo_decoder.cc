// Decoder of a todos.db value. A to-do's link mark is a bit of its stored
// flag word, so nothing is computed after decoding.

#include <qel2/codec.h>

#include "event_body.h"
#include "value_reader.h"

extern "C" int qel2_pvt_DeserializeToDo(qEL2_VTODO* todo, const unsigned char* value,
                                        uint32_t size) {
    if (todo == nullptr || value == nullptr) return qEL2_ERR_INVALID;
    qel2::ValueReader reader(value, size);
    // Stored order, which is not the record's field order.
    if (int result = reader.words(todo->dtStart, todo->dtDue, todo->dtCompleted, todo->lExtra,
                                  todo->dtModified, todo->dtCreated, todo->iSequence, todo->lExtra2,
                                  todo->lGeoLat, todo->lGeoLon, todo->flags)) {
        return result;
    }
    if (int result = qel2::DecodeEventBody(reader, todo)) return result;
    // To-dos store no pExtraList1 to pExtraList3.
    return reader.stringLists(todo->pRDates, todo->pEXDates, todo->pRRules, todo->pExRules,
                              todo->pRelatedTo, todo->pCategories, todo->pAttachments,
                              todo->pXProps);
}
