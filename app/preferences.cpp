#include "app/preferences.h"

#include <algorithm>

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
    bool ok = false;
    const int ms = m_settings.value(QStringLiteral("engine/responseTimeoutMs"), 500).toInt(&ok);
    return ok ? std::clamp(ms, 100, 5000) : 500;
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

} // namespace kv
