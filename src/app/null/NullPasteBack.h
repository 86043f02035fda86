// SPDX-License-Identifier: MIT
#pragma once

#include "capture/PasteBack.h"

// There is no clipboard: nothing can be pasted or copied; the text is dropped.
class NullPasteBack final : public PasteBack {
public:
    QCoro::Task<> paste(QString, std::optional<TargetApplication>) override { co_return; }
    void copy(const QString&) override {}
};
