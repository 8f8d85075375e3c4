// One alarm into the server's CALDB_ALARM.
#include <qel2/mapping.h>

#include "field_copies.h"

using namespace qel2::mapping;

// The fifth stored word (the repeat interval) has no place in the server's
// alarm.
extern "C" int32_t AlarmMapping(const qEL2_VALARM* source, CALDB_ALARM** target, int32_t selector) {
    if (source == nullptr || target == nullptr || *target == nullptr) return 1;
    const qEL2_VALARM& s = *source;
    CALDB_ALARM& t = **target;

    t.alarm_word1 = s.lAlarmWord1;
    t.alarm_word2 = s.lAlarmWord2;
    t.action = s.iAction;
    t.repeat = s.iRepeat;
    t.alarm_kind = selector != 0 ? CALDB_ALARM_KIND_SERVER : CALDB_ALARM_KIND_CLIENT;
    if (!(StoreCopy(t.alarm_text1, s.pAlarmText1) && StoreCopy(t.alarm_text2, s.pAlarmText2) &&
          StoreCopy(t.alarm_text3, s.pAlarmText3) && StoreListCopy(t.alarm_list1, s.pAlarmList1) &&
          StoreListCopy(t.alarm_list2, s.pAlarmList2) &&
          StoreListCopy(t.alarm_list3, s.pAlarmList3))) {
        return 1;
    }
    t.alarm_host1 = s.lAlarmHost1;
    t.alarm_host2 = s.lAlarmHost2;
    return 0;
}
