// One attendee into the server's CALDB_ATTENDEE.
#include <qel2/mapping.h>

#include "field_copies.h"

using namespace qel2::mapping;

namespace {

// The server's code for an attendee brought over from the old store.
constexpr int32_t kMappedAttendeeCode = 2;

}  // namespace

// The reply-requested flag (bRSVP) has no place in the server's attendee,
// and its second word is the server's own.
extern "C" int32_t AttendeeMapping(const qEL2_ATTENDEE* source, CALDB_ATTENDEE** target) {
    if (source == nullptr || target == nullptr || *target == nullptr) return 1;
    const qEL2_ATTENDEE& s = *source;
    CALDB_ATTENDEE& t = **target;

    if (!(StoreCopy(t.cal_address, s.pCalAddress) && StoreCopy(t.cutype, s.pCUType) &&
          StoreListCopy(t.member, s.pMember) && StoreListCopy(t.delegated_to, s.pDelegatedTo) &&
          StoreListCopy(t.delegated_from, s.pDelegatedFrom) && StoreCopy(t.role, s.pRole) &&
          StoreCopy(t.cn, s.pCN) && StoreCopy(t.dir, s.pDir) && StoreCopy(t.sent_by, s.pSentBy) &&
          StoreCopy(t.extra_param, s.pExtraParam))) {
        return 1;
    }
    t.cleared1 = 0;
    t.cleared2 = 0;
    t.preset_code = kMappedAttendeeCode;
    if (!StoreCopy(t.partstat, s.pPartStat)) return 1;
    t.cleared3 = t.cleared4 = t.cleared5 = t.cleared6 = t.cleared7 = 0;
    return 0;
}
