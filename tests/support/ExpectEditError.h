#pragma once

#include "domain/entities/EditError.h"

#include <gtest/gtest.h>

namespace vexel::testing {

// Runs `action` and expects it to throw exactly `expected`.
template <typename Action> void expectEditError(Action&& action, const EditError& expected) {
    try {
        action();
        ADD_FAILURE() << "expected: " << expected.userMessage();
    } catch (const EditError& error) {
        EXPECT_EQ(error, expected)
            << "got: " << error.userMessage() << "\nexpected: " << expected.userMessage();
    }
}

} // namespace vexel::testing
