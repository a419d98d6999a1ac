#pragma once

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "pattern/translation.h"

// Faults end the procedure they occur in and travel, as exceptions, up to the
// window's event dispatch, which shows them. Nothing is rolled back on the way.
namespace orvane {

class RunError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A 32-bit sum, difference or product that does not fit, or a 16-bit narrowing.
class OverflowError : public RunError {
public:
    OverflowError() : RunError(std::string(Tr("error", "Overflow"))) {}
};

// An invalid operation, a division by zero or an overflow in double arithmetic.
class FloatError : public RunError {
public:
    FloatError()
        : RunError(std::string(Tr("error", "Floating-point error: invalid operation, division by zero or overflow")))
    {
    }
};

// A control or the drawing surface refused an operation.
class ControlError : public RunError {
public:
    using RunError::RunError;
};

inline std::int32_t CheckedAdd(std::int32_t a, std::int32_t b)
{
    std::int32_t r;
    if (__builtin_add_overflow(a, b, &r))
        throw OverflowError();
    return r;
}

inline std::int32_t CheckedSub(std::int32_t a, std::int32_t b)
{
    std::int32_t r;
    if (__builtin_sub_overflow(a, b, &r))
        throw OverflowError();
    return r;
}

inline std::int32_t CheckedMul(std::int32_t a, std::int32_t b)
{
    std::int32_t r;
    if (__builtin_mul_overflow(a, b, &r))
        throw OverflowError();
    return r;
}

inline std::int16_t Narrow16(std::int32_t v)
{
    std::int16_t r;
    if (__builtin_mul_overflow(v, 1, &r))
        throw OverflowError();
    return r;
}

// Checks one stored floating-point result. Our operands are always finite, so an
// invalid operation (NaN), a division by zero (infinity) or an overflow (infinity)
// shows in the result itself; testing it is exact and, unlike reading the status
// flags, cannot be reordered by the compiler away from the operation it guards.
// Underflow and inexact results are not faults.
template <typename T>
inline T CheckFp(T v)
{
    if (!std::isfinite(v))
        throw FloatError();
    return v;
}

} // namespace orvane
