#pragma once

#include "presentation/viewmodels/runtime/PendingWait.h"
#include "presentation/views/kit/DialogService.h"

#include <QCoro/QCoroTask>

#include <memory>
#include <vector>

namespace vexel::test {

// Keeps every alert open until the test answers it, as a user who has not
// clicked yet.
class HeldDialogService final : public DialogService {
public:
    QCoro::Task<int> alert(AlertRequest request) override {
        asked.push_back(std::move(request));
        auto wait = std::make_shared<PendingWait>();
        open = wait;
        co_await PendingWait::wait(wait);
        co_return answer;
    }
    QCoro::Task<std::vector<std::filesystem::path>> filePanel(FilePanelRequest) override {
        co_return std::vector<std::filesystem::path>{};
    }
    void openUrl(const QUrl&) override {}

    void reply(int button) {
        answer = button;
        open->wake();
    }

    std::vector<AlertRequest> asked;
    std::shared_ptr<PendingWait> open;
    int answer = -1;
};

} // namespace vexel::test
