#include "core/PercentDone.h"

#include <cmath>

namespace cdk {

QString GetPercentDone(qint32 duration, qint32 done)
{
    // No budget, or a negative one that only a damaged file holds, has no
    // share to show.
    if (duration <= 0)
        return QStringLiteral("0%");
    // Divide by the hundredth of the budget, as the percentage has always
    // been computed, so that values on a half land where users know them.
    const double value = static_cast<double>(done) / (static_cast<double>(duration) / 100.0);
    if (!std::isfinite(value))
        return QStringLiteral("0%");
    double rounded = std::round(value); // halves away from zero
    if (rounded > 100.0)
        rounded = 100.0;
    if (rounded < 0.0)
        rounded = 0.0; // time done below zero is none done
    return QString::number(static_cast<qint64>(rounded)) + QLatin1Char('%');
}

} // namespace cdk
