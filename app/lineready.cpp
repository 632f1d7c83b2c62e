#include "app/lineready.h"

#include "common/messageboxes.h"
#include "session/drivelink.h"

namespace kv {

bool LineReady(const DriveLink& link, MessageBoxes& boxes)
{
    if (link.LineOpen())
        return true;
    Tell(boxes, QCoreApplication::translate("kv::LineReady", "请打开串口"));
    return false;
}

} // namespace kv
