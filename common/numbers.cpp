#include "numbers.h"

#include "common/hex.h"

#include <QByteArray>

#include <cfloat>
#include <cstdlib>

namespace kv {

namespace {

// Blanks, tabs and line feeds; a carriage return is a character like any other
// and ends a number.
bool IsSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Reads a radix-prefixed whole number after "&H" or "&O"; pos points after the prefix.
double ReadRadix(QStringView text, qsizetype pos, int radix)
{
    double value = 0;
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (IsSkipped(c))
            continue;
        const int digit = HexDigitValue(c);
        if (digit < 0 || digit >= radix)
            break;
        value = value * radix + digit;
    }
    return std::isfinite(value) ? value : DBL_MAX;
}

} // namespace

double Val(QStringView text)
{
    qsizetype pos = 0;
    auto skip = [&] {
        while (pos < text.size() && IsSkipped(text[pos]))
            ++pos;
    };
    skip();
    if (pos + 1 < text.size() && text[pos] == u'&') {
        qsizetype next = pos + 1;
        while (next < text.size() && IsSkipped(text[next]))
            ++next;
        if (next < text.size()) {
            const QChar k = text[next].toUpper();
            if (k == u'H')
                return ReadRadix(text, next + 1, 16);
            if (k == u'O')
                return ReadRadix(text, next + 1, 8);
        }
        return 0;
    }

    // Gather the characters that make up the number, without the skipped ones,
    // then let the C library convert them (always with a full stop).
    QByteArray digits;
    digits.reserve(32);
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        digits.append(static_cast<char>(text[pos].unicode()));
        ++pos;
    }
    bool anyDigit = false;
    bool seenPoint = false;
    bool seenExp = false;
    bool expSignAllowed = false;
    bool expDigits = false;
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (IsSkipped(c))
            continue;
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9') {
            digits.append(static_cast<char>(u));
            if (seenExp)
                expDigits = true;
            else
                anyDigit = true;
            expSignAllowed = false;
        } else if (u == u'.' && !seenPoint && !seenExp) {
            seenPoint = true;
            digits.append('.');
        } else if ((u == u'e' || u == u'E' || u == u'd' || u == u'D') && !seenExp && anyDigit) {
            seenExp = true;
            expSignAllowed = true;
            digits.append('e');
        } else if ((u == u'+' || u == u'-') && expSignAllowed) {
            expSignAllowed = false;
            digits.append(static_cast<char>(u));
        } else {
            break;
        }
    }
    if (!anyDigit)
        return 0;
    if (seenExp && !expDigits) {
        // "12e" or "12e-": the exponent never started, the number ends before it.
        digits.truncate(digits.indexOf('e'));
    }
    // Exponent digits may be very long ("1e0000000000000002"); strtod copes with that.
    const double v = std::strtod(digits.constData(), nullptr);
    if (std::isinf(v))
        return v > 0 ? DBL_MAX : -DBL_MAX;
    if (std::isnan(v))
        return 0;
    return v;
}

float ToSingle(double value)
{
    if (std::isnan(value))
        return 0.0f;
    if (value > FLT_MAX)
        return FLT_MAX;
    if (value < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<float>(value);
}

QString FormatFixed0_0Sharp(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    QString s = QString::number(value, 'f', 2);
    if (s.endsWith(u'0'))
        s.chop(1);
    if (s == u"-0.0")
        s = QStringLiteral("0.0");
    return s;
}

QString FormatGeneral(double value, int significantDigits)
{
    if (value == 0.0)
        return QStringLiteral("0");
    QString s = QString::number(value, 'g', significantDigits);
    // Qt writes exponents as e+10; the general format writes E+10.
    s.replace(u'e', u'E');
    return s;
}

QString FormatGeneralSigned(float value)
{
    const QString s = FormatGeneral(static_cast<double>(value), 7);
    return s.startsWith(u'-') ? s : u' ' + s;
}

} // namespace kv
