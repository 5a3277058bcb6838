#pragma once

#include <QString>
#include <QtGlobal>

namespace cdk {

// The share of a budget already done as shown everywhere in the program:
// a whole number (halves rounded away from zero), never above 100, followed
// by "%". A budget of 0 gives "0%".
QString GetPercentDone(qint32 duration, qint32 done);

} // namespace cdk
