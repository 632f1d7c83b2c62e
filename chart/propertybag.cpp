#include "chart/propertybag.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>

std::vector<PropertyBag::Entry>::iterator PropertyBag::Find(const QString& lowerName)
{
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [&](const Entry& e) { return e.name == lowerName; });
}

std::vector<PropertyBag::Entry>::const_iterator PropertyBag::Find(const QString& lowerName) const
{
    return std::find_if(m_entries.cbegin(), m_entries.cend(),
                        [&](const Entry& e) { return e.name == lowerName; });
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    const QString key = name.toLower();
    auto it = Find(key);
    // Numbers compare by value whatever their width (a 16-bit 0 equals a 32-bit 0).
    const bool isDefault = defaultValue.isValid() && value == defaultValue;
    if (isDefault) {
        // A later write of the default replaces an earlier value: nothing stays stored.
        if (it != m_entries.end())
            m_entries.erase(it);
        return;
    }
    if (it != m_entries.end())
        it->value = value;
    else
        m_entries.push_back({key, value});
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const
{
    auto it = Find(name.toLower());
    if (it == m_entries.end())
        return defaultValue;
    if (!defaultValue.isValid() || it->value.metaType() == defaultValue.metaType())
        return it->value;
    QVariant converted = it->value;
    if (!converted.canConvert(defaultValue.metaType()) || !converted.convert(defaultValue.metaType()))
        throw TypeError("stored value of \"" + name.toStdString() + "\" has the wrong type");
    return converted;
}

bool PropertyBag::Contains(const QString& name) const
{
    return Find(name.toLower()) != m_entries.end();
}

QStringList PropertyBag::Names() const
{
    QStringList names;
    names.reserve(Count());
    for (const Entry& e : m_entries)
        names << e.name;
    return names;
}

QByteArray PropertyBag::ToBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << quint32(m_entries.size());
    for (const Entry& e : m_entries)
        out << e.name << e.value;
    return bytes;
}

PropertyBag PropertyBag::FromBytes(const QByteArray& bytes)
{
    PropertyBag bag;
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 count = 0;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString name;
        QVariant value;
        in >> name >> value;
        if (in.status() != QDataStream::Ok)
            break;
        bag.WriteProperty(name, value);
    }
    if (in.status() != QDataStream::Ok)
        throw TypeError("stored property set is damaged");
    return bag;
}
