// Compile-time checks of the host-visible record layouts.
//
// The host reads records field by field as 32-bit words: built for a
// 32-bit target, field n of every record lies at byte offset 4*(n-1). On a
// 64-bit build pointers are wider, so there only the widths of the integer
// fields are checked; the offsets are proven by compiling with -m32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace qel2::test::layout {

template <typename Field>
constexpr bool IsWordField() {
    using F = std::remove_all_extents_t<Field>;
    if constexpr (std::is_pointer_v<F>)
        return true;
    else
        return std::is_integral_v<F> && sizeof(F) == 4;
}

constexpr bool kWordPointers = sizeof(void*) == 4;

}  // namespace qel2::test::layout

#define QEL2_FIELD_AT(Type, field, n)                                                         \
    static_assert(qel2::test::layout::IsWordField<decltype(Type::field)>() ||                 \
                      std::is_same_v<decltype(Type::field), unsigned char[16]>,               \
                  #Type "." #field " is not a 32-bit word");                                  \
    static_assert(!qel2::test::layout::kWordPointers || offsetof(Type, field) == 4 * ((n)-1), \
                  #Type "." #field " is not field " #n)

#define QEL2_RECORD_WORDS(Type, words)                                               \
    static_assert(!qel2::test::layout::kWordPointers || sizeof(Type) == 4 * (words), \
                  #Type " is not " #words " words long")
