// The stored property set of a chart instance: named, typed values that a host
// keeps with its saved layout.
//
// Names are compared without regard to case and kept in lower case. Writing a
// value equal to the default given with it stores nothing (and drops an earlier
// value of that name); reading a name that is not stored yields the default given
// with the read. The order in which names were first written is remembered.
// No QtWidgets here: the set is plain data and is tested without a window.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <stdexcept>
#include <vector>

class PropertyBag {
public:
    // A stored value cannot be turned into the type of the default given with the read.
    class TypeError : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // Stores value under name unless it equals defaultValue. An invalid defaultValue
    // means "no default": the value is always stored (fonts are written this way).
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue = QVariant());

    // The stored value converted to the type of defaultValue, or defaultValue when the
    // name is not stored. Throws TypeError when a stored value cannot be converted.
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = QVariant()) const;

    bool Contains(const QString& name) const;
    // The stored names, lower case, in the order they were first written.
    QStringList Names() const;
    int Count() const { return static_cast<int>(m_entries.size()); }
    bool IsEmpty() const { return m_entries.empty(); }
    void Clear() { m_entries.clear(); }

    // A byte image of the set (names, types and values in order) for a host that
    // keeps the layout in a file, and the way back. Kept kinds of value: bool,
    // 16- and 32-bit integers, single, double, text and font; ToBytes throws
    // TypeError for any other, FromBytes for bytes it cannot read.
    QByteArray ToBytes() const;
    static PropertyBag FromBytes(const QByteArray& bytes);

private:
    struct Entry {
        QString name;  // lower case
        QVariant value;
    };
    std::vector<Entry>::iterator Find(const QString& lowerName);
    std::vector<Entry>::const_iterator Find(const QString& lowerName) const;

    std::vector<Entry> m_entries;
};
