#pragma once

#include <string>
#include <vector>

namespace vexel {

// Names for the clips that splitting or duplicating makes, numbered after the
// clip they come from: beach.mov gives beach_1.mov, beach_2.mov, and duplicating
// beach_2.mov next to beach_3.mov gives beach_4.mov. Lengths are counted in
// user-perceived characters; names never exceed 255 of them.
class ClipNameGenerator {
public:
    ClipNameGenerator() = delete;

    // `count` names in order, numbered after the highest number that a name of
    // the same root and media extension among `existingNames` carries. Gaps are
    // not filled. Empty when `count` is below 1.
    static std::vector<std::string> generateNames(const std::string& originalName, int count,
                                                  const std::vector<std::string>& existingNames);
};

} // namespace vexel
