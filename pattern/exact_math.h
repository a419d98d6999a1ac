#pragma once

namespace orvane {

// The natural logarithm, sine and cosine rounded to the nearest double. The C
// library's versions are allowed an error of a little over half a unit in the
// last place, and each library errs in other places, so the same program would
// print other last digits on another system or in the browser. These work in
// double-double arithmetic, about 100 bits, from the four basic operations
// alone: the same bits wherever IEEE doubles round to nearest.
//
// ExactLog takes any double (0 gives -infinity, a negative number NaN).
// ExactSin and ExactCos are exact for |x| up to 1e6; beyond that, where the
// program never goes, they give NaN.
double ExactLog(double x) noexcept;
double ExactSin(double x) noexcept;
double ExactCos(double x) noexcept;

} // namespace orvane
