// Integer arithmetic that refuses to wrap: a result that does not fit its
// type throws `toolkit::Error("Overflow.")`, as every counter in Tobrel must.
//
//   std::int32_t next = toolkit::checked_add(count, 1);
#pragma once

#include "toolkit/object.h"

namespace toolkit {

template <class Int> Int checked_add(Int a, Int b)
{
    Int sum;
    if (__builtin_add_overflow(a, b, &sum))
        throw Error("Overflow.");
    return sum;
}

template <class Int> Int checked_sub(Int a, Int b)
{
    Int difference;
    if (__builtin_sub_overflow(a, b, &difference))
        throw Error("Overflow.");
    return difference;
}

}  // namespace toolkit
