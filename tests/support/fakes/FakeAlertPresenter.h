// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AlertPresenter.h"

#include <QList>
#include <deque>

// Records every alert and answers each with the next scripted button index; -1 (closed
// without an answer) once the script has run out.
class FakeAlertPresenter final : public AlertPresenter {
public:
    int runModal(const Alert& alert) override
    {
        shown.append(alert);
        if (answers.empty())
            return -1;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<int> answers;
    QList<Alert> shown;
};
