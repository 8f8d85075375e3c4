// Decoder of a calprops.db value into the public part of a calendar record.

#include <qel2/codec.h>

#include "value_reader.h"

extern "C" int qel2_pvt_DeserializeCalProps(qEL2_CALPROPS* calprops, const unsigned char* value,
                                            uint32_t size) {
    if (calprops == nullptr || value == nullptr) return qEL2_ERR_INVALID;
    qel2::ValueReader reader(value, size);
    if (int result =
            reader.words(calprops->dtModified, calprops->dtCreated, calprops->accessFlags)) {
        return result;
    }
    if (int result =
            reader.strings(calprops->pDescription, calprops->pParentCalID, calprops->pRelativeCalID,
                           calprops->pCalMaster, calprops->pName, calprops->pCharSet,
                           calprops->pLanguage, calprops->pPrimaryOwner, calprops->pExtra)) {
        return result;
    }
    if (int result = reader.stringLists(calprops->pOtherOwners, calprops->pChildList))
        return result;
    // The value may end right after a zero category count: stored calendars
    // are written both with and without the filler byte there, so nothing
    // is read after that count. Bytes after the last field are ignored.
    uint32_t categories = 0;
    if (int result = reader.count(categories, 1)) return result;
    if (categories == 0) return 0;
    return reader.stringListItems(categories, calprops->pCategoryList);
}
