#pragma once

// Equality of property-list values as the XML format can carry them: NaN
// equals NaN, and dates are equal to the second (the format writes whole
// seconds; a binary file may hold fractions).
#include "model/plist.h"

#include <cmath>
#include <cstdlib>

namespace fuzz {

inline bool samePlist(const ql::PlistValue& a, const ql::PlistValue& b) {
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case ql::PlistValue::Type::Real: {
      const double x = *a.toReal(), y = *b.toReal();
      return x == y || (std::isnan(x) && std::isnan(y));
    }
    case ql::PlistValue::Type::Date:
      return std::llabs(a.date()->toMSecsSinceEpoch() - b.date()->toMSecsSinceEpoch()) < 1000;
    case ql::PlistValue::Type::Array: {
      const ql::PlistArray &x = *a.array(), &y = *b.array();
      if (x.size() != y.size()) return false;
      for (size_t i = 0; i < x.size(); ++i)
        if (!samePlist(x[i], y[i])) return false;
      return true;
    }
    case ql::PlistValue::Type::Dict: {
      const ql::PlistDict &x = *a.dict(), &y = *b.dict();
      if (x.size() != y.size()) return false;
      for (int i = 0; i < x.size(); ++i)
        if (x.keyAt(i) != y.keyAt(i) || !samePlist(x.valueAt(i), y.valueAt(i))) return false;
      return true;
    }
    default:
      return a == b;
  }
}

}  // namespace fuzz
