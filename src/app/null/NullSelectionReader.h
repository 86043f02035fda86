// SPDX-License-Identifier: MIT
#pragma once

#include "capture/SelectionReader.h"

// Nothing can be read, so there is never a selection.
class NullSelectionReader final : public SelectionReader {
public:
    QCoro::Task<std::optional<CapturedSelection>> capture() override { co_return std::nullopt; }
};
