// The process's keyboard and mouse record buffers.
#include "platform/InputEvents.h"

namespace platform {

KeyRecordBuffer& KeyboardRecords()
{
    static KeyRecordBuffer buffer;
    return buffer;
}

MouseRecordBuffer& MouseRecords()
{
    static MouseRecordBuffer buffer;
    return buffer;
}

} // namespace platform
