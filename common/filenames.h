// File names the tool makes up itself (a capture named by its time and cause)
// must be taken by every file system the files may travel to: Windows (NTFS,
// FAT), macOS and Linux alike.
#pragma once

#include <QString>

namespace kv {

// The text as a file name: the characters Windows refuses (< > : " / \ | ? *
// and control characters) become "_", trailing dots and blanks go, a name
// Windows reserves (CON, NUL, COM1, ...) gets a "_" in front, and the whole
// stays within 120 characters. Never empty.
QString SafeFileName(const QString& text);

} // namespace kv
