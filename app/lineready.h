// For a window about to work with the drive: true when the line is open;
// otherwise the user is told "请打开串口" and it is false.
#pragma once

namespace kv {

class DriveLink;
class MessageBoxes;

bool LineReady(const DriveLink& link, MessageBoxes& boxes);

} // namespace kv
