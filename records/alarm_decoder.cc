// Decoder of one alarm block embedded in an event or to-do value.

#include <qel2/codec.h>

#include "value_reader.h"

extern "C" int qel2_pvt_DeserializeAlarm(qEL2_VALARM* alarm, const unsigned char* value,
                                         const unsigned char** cursor, uint32_t size) {
    if (alarm == nullptr || value == nullptr || cursor == nullptr) return qEL2_ERR_INVALID;
    qel2::ValueReader reader(value, size);
    if (int result = reader.seek(*cursor)) return result;
    if (int result = reader.words(alarm->lAlarmWord1, alarm->lAlarmWord2, alarm->iAction,
                                  alarm->iRepeat, alarm->lAlarmWord5)) {
        return result;
    }
    if (int result = reader.strings(alarm->pAlarmText1, alarm->pAlarmText2, alarm->pAlarmText3)) {
        return result;
    }
    if (int result =
            reader.stringLists(alarm->pAlarmList1, alarm->pAlarmList2, alarm->pAlarmList3)) {
        return result;
    }
    *cursor = reader.position();
    return 0;
}
