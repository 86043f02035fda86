// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

// Components talk back through optional callbacks. Calling one that was never set does
// nothing, and a predicate that was never set answers false (a default-made result).
template <class R, class... Params, class... Args>
R invokeIfSet(const std::function<R(Params...)>& callback, Args&&... args)
{
    if (!callback) {
        if constexpr (std::is_void_v<R>)
            return;
        else
            return R{};
    }
    return callback(std::forward<Args>(args)...);
}
