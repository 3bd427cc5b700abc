#pragma once

#include <functional>
#include <type_traits>
#include <vector>

namespace vexel {

// Each element through `map` (a callable or a member function), in order.
template <class T, class Map> auto mapped(const std::vector<T>& values, Map map) {
    std::vector<std::decay_t<std::invoke_result_t<Map&, const T&>>> result;
    result.reserve(values.size());
    for (const T& value : values) {
        result.push_back(std::invoke(map, value));
    }
    return result;
}

} // namespace vexel
