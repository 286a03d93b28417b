#include "twain/SourceFromThis.h"

namespace Twpp {

DSMENTRYPROC& dsmEntry() {
    static DSMENTRYPROC entry = nullptr;
    return entry;
}

} // namespace Twpp
