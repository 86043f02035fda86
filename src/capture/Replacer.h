// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ports/PasteBack.h"

#include <chrono>

class FrontmostWindows;
class KeystrokeSender;
class Pasteboard;

// Pastes a result over the user's selection: the result goes on the clipboard, marked as
// transient so clipboard managers do not keep it, the application it came from is
// activated again, the paste command is typed into it, and 400 ms later the previous
// clipboard contents are put back, unless someone else wrote the clipboard in between.
// When another client holds the keyboard at the moment of the paste, nothing is typed and
// the result is left on the clipboard. Holds no state between calls. The ports are borrowed and
// must outlive it. Main thread only.
class Replacer final : public PasteBack {
public:
    Replacer(FrontmostWindows& windows, KeystrokeSender& keys, Pasteboard& pasteboard);

    QCoro::Task<> paste(QString text, std::optional<TargetApplication> target) override;

    static constexpr int activationChecks = 10;
    static constexpr std::chrono::milliseconds activationInterval{30};
    static constexpr std::chrono::milliseconds readDelay{400};

private:
    FrontmostWindows& m_windows;
    KeystrokeSender& m_keys;
    Pasteboard& m_pasteboard;
};
