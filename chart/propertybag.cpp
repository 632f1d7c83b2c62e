#include "chart/propertybag.h"

#include <QDataStream>
#include <QFont>
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

namespace {

// The byte image: a tag, then the count and per value its name, its type and the
// value itself. Only the kinds of value the chart stores are written or read, each
// by its own type: bytes from a file never make the stream build an arbitrary type.
constexpr quint32 kTag = 0x4B565042;  // "KVPB"
constexpr quint32 kVersion = 1;

bool Supported(int typeId)
{
    switch (typeId) {
    case QMetaType::Bool:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Float:
    case QMetaType::Double:
    case QMetaType::QString:
    case QMetaType::QFont:
        return true;
    default:
        return false;
    }
}

// Qt reads a font's list of families by making room for as many names as the
// count in the bytes says before it reads one of them, so a damaged count asks
// for gigabytes. The distance from the end of the font's style name to that
// count, measured on a font of our own (-1 when the list cannot be found).
qint64 FamilyCountOffset()
{
    static const qint64 offset = [] {
        const QString name = QStringLiteral("kv-probe-family");
        QFont probe(name);
        probe.setFamilies({name});
        QByteArray font;
        {
            QDataStream out(&font, QIODevice::WriteOnly);
            out.setVersion(QDataStream::Qt_6_4);
            out << probe;
        }
        QByteArray list;
        {
            QDataStream out(&list, QIODevice::WriteOnly);
            out.setVersion(QDataStream::Qt_6_4);
            out << QStringList{name};
        }
        QDataStream in(font);
        in.setVersion(QDataStream::Qt_6_4);
        QString family, style;
        in >> family >> style;
        const qint64 afterNames = in.device()->pos();
        const qint64 at = font.lastIndexOf(list);
        return at < afterNames ? qint64(-1) : at - afterNames;
    }();
    return offset;
}

// Whether the font image starting at `start` names at least one family (Qt
// writes a font's first family without looking, so an image with none cannot be
// written again) and no more than the bytes left could hold (each name takes
// at least its 4-byte length).
bool FamilyCountFits(const QByteArray& bytes, qint64 start)
{
    const qint64 offset = FamilyCountOffset();
    if (offset < 0)
        return true;
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    if (!in.device()->seek(start))
        return false;
    QString family, style;
    in >> family >> style;
    if (in.status() != QDataStream::Ok || !in.device()->seek(in.device()->pos() + offset))
        return false;
    quint32 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok)
        return false;
    return count >= 1 && qint64(count) * 4 <= bytes.size() - in.device()->pos();
}

template <typename T>
QVariant ReadAs(QDataStream& in)
{
    T v{};
    in >> v;
    return QVariant::fromValue(v);
}

} // namespace

QByteArray PropertyBag::ToBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << kTag << kVersion << quint32(m_entries.size());
    for (const Entry& e : m_entries) {
        const int type = e.value.metaType().id();
        if (!Supported(type))
            throw TypeError("\"" + e.name.toStdString() + "\" holds a kind of value that cannot be kept");
        out << e.name << quint32(type);
        switch (type) {
        case QMetaType::Bool: out << e.value.toBool(); break;
        case QMetaType::Short: out << e.value.value<short>(); break;
        case QMetaType::Int: out << e.value.toInt(); break;
        case QMetaType::Float: out << e.value.toFloat(); break;
        case QMetaType::Double: out << e.value.toDouble(); break;
        case QMetaType::QString: out << e.value.toString(); break;
        case QMetaType::QFont: {
            // Qt writes a font's first family without looking: a font with none
            // is written with one empty name.
            QFont font = e.value.value<QFont>();
            if (font.families().isEmpty())
                font.setFamilies({font.family()});
            out << font;
            break;
        }
        default: break;
        }
    }
    return bytes;
}

PropertyBag PropertyBag::FromBytes(const QByteArray& bytes)
{
    PropertyBag bag;
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 tag = 0, version = 0, count = 0;
    in >> tag >> version >> count;
    if (in.status() != QDataStream::Ok || tag != kTag || version != kVersion)
        throw TypeError("not a stored property set");
    for (quint32 i = 0; i < count; ++i) {
        QString name;
        quint32 type = 0;
        in >> name >> type;
        if (in.status() != QDataStream::Ok || !Supported(static_cast<int>(type)))
            throw TypeError("stored property set is damaged");
        QVariant value;
        switch (type) {
        case QMetaType::Bool: value = ReadAs<bool>(in); break;
        case QMetaType::Short: value = ReadAs<short>(in); break;
        case QMetaType::Int: value = ReadAs<qint32>(in); break;
        case QMetaType::Float: value = ReadAs<float>(in); break;
        case QMetaType::Double: value = ReadAs<double>(in); break;
        case QMetaType::QString: value = ReadAs<QString>(in); break;
        case QMetaType::QFont:
            if (!FamilyCountFits(bytes, in.device()->pos()))
                throw TypeError("stored property set is damaged");
            value = ReadAs<QFont>(in);
            break;
        default: break;
        }
        if (in.status() != QDataStream::Ok)
            throw TypeError("stored property set is damaged");
        bag.WriteProperty(name, value);
    }
    return bag;
}
