#pragma once

#include "presentation/views/kit/DialogService.h"

#include <QCoro/QCoroTask>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <vector>

namespace vexel::test {

// The dialog service of widget tests: answers each alert and panel with the
// next answer the test queued, in order, and records what was asked. An alert
// or panel with no answer queued fails the test and is cancelled.
class ScriptedDialogService final : public DialogService {
public:
    // Answers the next alert with the button titled `button`.
    void answerAlert(QString button) { alertAnswers_.push_back(std::move(button)); }
    // Answers the next panel with these paths; none cancels it.
    void answerPanel(std::vector<std::filesystem::path> paths) {
        panelAnswers_.push_back(std::move(paths));
    }

    const std::vector<AlertRequest>& alerts() const { return alerts_; }
    const std::vector<FilePanelRequest>& panels() const { return panels_; }
    const std::vector<QUrl>& openedUrls() const { return openedUrls_; }
    bool hasUnusedAnswers() const { return !alertAnswers_.empty() || !panelAnswers_.empty(); }

    QCoro::Task<int> alert(AlertRequest request) override {
        alerts_.push_back(request);
        int cancel = -1;
        for (std::size_t index = 0; index < request.buttons.size(); ++index) {
            if (request.buttons[index].role == AlertButtonRole::cancel) {
                cancel = int(index);
            }
        }
        if (alertAnswers_.empty()) {
            ADD_FAILURE() << "unexpected alert: " << request.message.toStdString();
            co_return cancel;
        }
        const QString answer = alertAnswers_.front();
        alertAnswers_.pop_front();
        for (std::size_t index = 0; index < request.buttons.size(); ++index) {
            if (request.buttons[index].text == answer) {
                co_return int(index);
            }
        }
        ADD_FAILURE() << "alert \"" << request.message.toStdString() << "\" has no button \""
                      << answer.toStdString() << '"';
        co_return cancel;
    }

    QCoro::Task<std::vector<std::filesystem::path>> filePanel(FilePanelRequest request) override {
        panels_.push_back(request);
        if (panelAnswers_.empty()) {
            ADD_FAILURE() << "unexpected panel: " << request.title.toStdString();
            co_return std::vector<std::filesystem::path>{};
        }
        std::vector<std::filesystem::path> answer = panelAnswers_.front();
        panelAnswers_.pop_front();
        co_return answer;
    }

    void openUrl(const QUrl& url) override { openedUrls_.push_back(url); }

private:
    std::deque<QString> alertAnswers_;
    std::deque<std::vector<std::filesystem::path>> panelAnswers_;
    std::vector<AlertRequest> alerts_;
    std::vector<FilePanelRequest> panels_;
    std::vector<QUrl> openedUrls_;
};

} // namespace vexel::test
