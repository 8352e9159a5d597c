// The process's keyboard and mouse record buffers and the focus flag.
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

namespace {

bool inputFocus = true;

} // namespace

bool HasInputFocus()
{
    return inputFocus;
}

void SetInputFocus(bool focused)
{
    inputFocus = focused;
}

} // namespace platform
