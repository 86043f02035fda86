// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Orders version strings the way appcast feeds expect: runs of digits compare as numbers,
// runs of letters as text, dots and other punctuation separate parts. A version that goes
// on with a number after the other ends is newer ("1.2.1" > "1.2"); one that goes on with
// letters is older ("1.2b1" < "1.2"), as pre-releases are spelled that way.
namespace VersionComparator {

// Negative when `a` is older than `b`, zero when they are the same version, positive
// when `a` is newer.
int compare(const QString& a, const QString& b);

} // namespace VersionComparator
