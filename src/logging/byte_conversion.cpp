#include "logging/byte_conversion.h"

#include <algorithm>

#include "platform/text.h"

namespace dbg {

ByteConversion::result ByteConversion::do_out(state_type& /*state*/, const intern_type* from,
                                              const intern_type* fromEnd,
                                              const intern_type*& fromNext, extern_type* to,
                                              extern_type* toEnd, extern_type*& toNext) const
{
    for (; from != fromEnd && to != toEnd; ++from, ++to) {
        const int byte = platform::Cp1252Byte(*from);
        *to = byte < 0 ? '?' : static_cast<extern_type>(byte);
    }
    fromNext = from;
    toNext = to;
    return from == fromEnd ? ok : partial;
}

ByteConversion::result ByteConversion::do_in(state_type& /*state*/, const extern_type* from,
                                             const extern_type* fromEnd,
                                             const extern_type*& fromNext, intern_type* to,
                                             intern_type* toEnd, intern_type*& toNext) const
{
    for (; from != fromEnd && to != toEnd; ++from, ++to) {
        *to = platform::Cp1252Char(static_cast<unsigned char>(*from));
    }
    fromNext = from;
    toNext = to;
    return from == fromEnd ? ok : partial;
}

ByteConversion::result ByteConversion::do_unshift(state_type& /*state*/, extern_type* to,
                                                  extern_type* /*toEnd*/,
                                                  extern_type*& toNext) const
{
    toNext = to;
    return noconv;
}

int ByteConversion::do_length(state_type& /*state*/, const extern_type* from,
                              const extern_type* fromEnd, std::size_t max) const
{
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(fromEnd - from), max));
}

}  // namespace dbg
