// Decoder of an events.db value, with link detection.

#include <qel2/codec.h>

#include "event_body.h"
#include "value_reader.h"

extern "C" int qel2_pvt_DeserializeEvent(qEL2_VEVENT* event, const unsigned char* value,
                                         uint32_t size) {
    if (event == nullptr || value == nullptr) return qEL2_ERR_INVALID;
    qel2::ValueReader reader(value, size);
    if (int result = reader.words(event->dtStart, event->dtEnd, event->lExtra, event->dtModified,
                                  event->dtCreated, event->iSequence, event->lGeoLat,
                                  event->lGeoLon, event->flags)) {
        return result;
    }
    if (int result = qel2::DecodeEventBody(reader, event)) return result;
    if (int result = reader.stringLists(event->pRDates, event->pEXDates, event->pRRules,
                                        event->pExRules, event->pRelatedTo, event->pExtraList1,
                                        event->pExtraList2, event->pExtraList3, event->pCategories,
                                        event->pAttachments, event->pXProps)) {
        return result;
    }
    // A record without times whose URL names a calendar stands in for the
    // event that calendar keeps; the event reads follow it.
    if (event->dtStart == 0 && event->dtEnd == 0 && event->pURL != nullptr) {
        event->rtflags |= qEL2_EVENT_RT_LINK;
    }
    return 0;
}
