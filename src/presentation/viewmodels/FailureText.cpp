#include "presentation/viewmodels/FailureText.h"

#include "foundation/CancellationError.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace vexel {

bool isCancellation(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const CancellationError&) {
        return true;
    } catch (...) {
        return false;
    }
}

std::string typeAndDescription(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (...) {
        std::string type = "unknown";
        if (const std::type_info* info = abi::__cxa_current_exception_type()) {
            int status = 0;
            std::unique_ptr<char, decltype(&std::free)> name(
                abi::__cxa_demangle(info->name(), nullptr, nullptr, &status), &std::free);
            type = status == 0 && name ? name.get() : info->name();
        }
        std::string description = "unknown error";
        try {
            throw;
        } catch (const std::exception& exception) {
            description = exception.what();
        } catch (...) {
        }
        return type + " — " + description;
    }
}

} // namespace vexel
