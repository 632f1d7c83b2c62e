#include "app/preferences.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

namespace kv {

Preferences::Preferences() = default;

Preferences::Preferences(const QString& iniPath)
    : m_settings(iniPath, QSettings::IniFormat)
{
}

void Preferences::SetValue(const QString& key, const QVariant& value)
{
    m_settings.setValue(key, value);
    m_settings.sync();
}

int Preferences::ResponseTimeoutMs() const
{
    // Not set (or unreadable): 0, the line's own default (500 ms on a serial
    // port, 1000 ms through a network converter).
    bool ok = false;
    const int ms = m_settings.value(QStringLiteral("engine/responseTimeoutMs"), 0).toInt(&ok);
    return ok && ms > 0 ? std::clamp(ms, 100, 5000) : 0;
}

void Preferences::SetResponseTimeoutMs(int ms)
{
    SetValue(QStringLiteral("engine/responseTimeoutMs"), std::clamp(ms, 100, 5000));
}

bool Preferences::FastSampling() const
{
    return m_settings.value(QStringLiteral("sampling/fast"), false).toBool();
}

void Preferences::SetFastSampling(bool on)
{
    SetValue(QStringLiteral("sampling/fast"), on);
}

int Preferences::FastPeriodMs() const
{
    bool ok = false;
    const int ms = m_settings.value(QStringLiteral("sampling/periodMs"), 50).toInt(&ok);
    return ok && IsFastPeriod(ms) ? ms : 50;
}

void Preferences::SetFastPeriodMs(int ms)
{
    if (IsFastPeriod(ms))
        SetValue(QStringLiteral("sampling/periodMs"), ms);
}

bool Preferences::AutoReconnect() const
{
    return m_settings.value(QStringLiteral("port/autoReconnect"), false).toBool();
}

void Preferences::SetAutoReconnect(bool on)
{
    SetValue(QStringLiteral("port/autoReconnect"), on);
}

QString Preferences::Language() const
{
    const QString language = m_settings.value(QStringLiteral("interface/language")).toString();
    return IsLanguage(language) ? language : QStringLiteral("zh");
}

void Preferences::SetLanguage(const QString& language)
{
    if (IsLanguage(language))
        SetValue(QStringLiteral("interface/language"), language);
}

namespace {

// An enumeration kept as its number: the number when it is one of `count`, else the fallback.
template <typename E>
E EnumValue(const QVariant& v, int count, E fallback)
{
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok && n >= 0 && n < count ? static_cast<E>(n) : fallback;
}

qint64 SpanMs(const QVariant& v, qint64 fallback)
{
    bool ok = false;
    const qint64 ms = v.toLongLong(&ok);
    return ok && ms >= 0 && ms <= TriggerSettings::kMaxSpanMs ? ms : fallback;
}

} // namespace

TriggerSettings Preferences::Trigger() const
{
    const TriggerSettings d;
    TriggerSettings t;
    const auto value = [this](const char* key) { return m_settings.value(QStringLiteral("trigger/") + QLatin1String(key)); };
    t.condition.kind = EnumValue(value("kind"), 2, d.condition.kind);
    t.condition.value = EnumValue(value("value"), kTriggerValueCount, d.condition.value);
    bool ok = false;
    const double level = value("level").toDouble(&ok);
    t.condition.level = ok && std::isfinite(level) ? level : d.condition.level;
    t.condition.bit = EnumValue(value("bit"), kStatusBitCount, d.condition.bit);
    t.condition.edge = EnumValue(value("edge"), 3, d.condition.edge);
    t.beforeMs = SpanMs(value("beforeMs"), d.beforeMs);
    t.afterMs = SpanMs(value("afterMs"), d.afterMs);
    t.mode = EnumValue(value("mode"), 2, d.mode);
    const QString folder = value("folder").toString();
    t.folder = folder.isEmpty() ? DefaultCaptureFolder() : folder;
    return t;
}

void Preferences::SetTrigger(const TriggerSettings& t)
{
    const QString prefix = QStringLiteral("trigger/");
    m_settings.setValue(prefix + QStringLiteral("kind"), static_cast<int>(t.condition.kind));
    m_settings.setValue(prefix + QStringLiteral("value"), static_cast<int>(t.condition.value));
    m_settings.setValue(prefix + QStringLiteral("level"), t.condition.level);
    m_settings.setValue(prefix + QStringLiteral("bit"), t.condition.bit);
    m_settings.setValue(prefix + QStringLiteral("edge"), static_cast<int>(t.condition.edge));
    m_settings.setValue(prefix + QStringLiteral("beforeMs"), t.beforeMs);
    m_settings.setValue(prefix + QStringLiteral("afterMs"), t.afterMs);
    m_settings.setValue(prefix + QStringLiteral("mode"), static_cast<int>(t.mode));
    SetValue(prefix + QStringLiteral("folder"), t.folder);
}

bool Preferences::TriggerArmed() const
{
    return m_settings.value(QStringLiteral("trigger/armed"), false).toBool();
}

void Preferences::SetTriggerArmed(bool armed)
{
    SetValue(QStringLiteral("trigger/armed"), armed);
}

QString Preferences::DefaultCaptureFolder()
{
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(docs.isEmpty() ? QDir::homePath() : docs).filePath(QStringLiteral("captures"));
}

} // namespace kv
