// SPDX-License-Identifier: MIT
#pragma once

#include "capture/PasteBack.h"

// Nothing can be pasted; the text is dropped.
class NullPasteBack final : public PasteBack {
public:
    QCoro::Task<> paste(QString, std::optional<TargetApplication>) override { co_return; }
};
