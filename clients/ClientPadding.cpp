#include "clients/ClientPadding.h"

namespace ClientPadding {

QString padded(const QString &value, int width)
{
    return value.size() >= width ? value : value.leftJustified(width, QLatin1Char(' '));
}

} // namespace ClientPadding
