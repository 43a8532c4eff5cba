#include "common/unreadabletext.h"

#include "common/commas.h"

namespace kelvane {

QString unreadableText(uint64_t count)
{
    return addCommas(int64_t(count)) + (count == 1 ? QStringLiteral(" directory could not be read")
                                                   : QStringLiteral(" directories could not be read"));
}

} // namespace kelvane
