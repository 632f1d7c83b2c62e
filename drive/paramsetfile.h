// The parameter-set file: CSV in UTF-8 with a byte-order mark, the header
// 代码,名称,寄存器,值 and one row per parameter in catalogue order:
//
//   代码,名称,寄存器,值
//   9901,语言,0x26AC,0
//   9902,应用宏,0x26AD,1
//
// The code has four digits (a spreadsheet may drop the leading zero: "101"
// reads as 0101), the register is code - 1 in hexadecimal with 0x, the value
// is the register's raw 16-bit value in decimal. The name is for the reader
// and is not checked.
//
// A file read back is untrusted: anything but a sound file of known
// parameters is refused as a whole, with a message naming the line.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace kv {

// Larger files are refused unread (a whole catalogue takes about 12 KB).
inline constexpr qint64 kMaxParameterSetFileBytes = 1024 * 1024;

struct ParameterSetLoad {
    QMap<int, quint16> values;  // code -> value
    QString error;              // "第 5 行：……"; empty when the file is sound
    bool Ok() const { return error.isEmpty(); }
};

// The file's bytes for the values of catalogue parameters (other codes are left out).
QByteArray ParameterSetFileBytes(const QMap<int, quint16>& values);
// Reads a file's bytes; on any fault the values are empty and error says where.
ParameterSetLoad ParseParameterSetFile(const QByteArray& bytes);

// Written whole or not at all; false with the reason on failure.
bool SaveParameterSetFile(const QString& path, const QMap<int, quint16>& values, QString* error);
ParameterSetLoad LoadParameterSetFile(const QString& path);

} // namespace kv
