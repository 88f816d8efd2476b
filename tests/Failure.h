#pragma once
#include <QString>

#include "data/Result.h"

// The message of a result that failed, empty for one that did not: an
// assertion on it shows what went wrong.
template <typename T> QString Failure(const Result<T>& r)
{
    return r ? QString() : r.error().message();
}
